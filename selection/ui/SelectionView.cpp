#include "selection/ui/SelectionView.h"

void SelectionView::StorePointerEdit(const SelectionEditor& editor, const QPoint&) {
    Store(editor);
}

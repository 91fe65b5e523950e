#include "support/AppWindows.h"

#include "app/shell/CProjectTree.h"
#include "app/shell/CSfApp.h"
#include "app/ui/CBaseScrollView.h"
#include "support/AnalysisFiles.h"

CBaseScrollView* InsertWindow(CSfApp& app, CSfHead& head, int request, uint32_t start, uint32_t end,
                              int channel) {
    SetHeadTask(head, start, end, channel);
    QTreeWidgetItem* node = app.Tree()->FindNode(&head);
    const int before = node->childCount();
    app.InsertItem(request, &head);
    if (node->childCount() != before + 1)
        return nullptr;
    return qobject_cast<CBaseScrollView*>(app.Tree()->ItemOf(node->child(before))->GetWindow());
}

void RemoveAllHeads(CSfApp& app) {
    CProjectTree* tree = app.Tree();
    while (tree->HeadCount() > 0)
        app.RemoveItem(tree->ItemOf(tree->topLevelItem(0)));
}

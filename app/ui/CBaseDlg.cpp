#include "app/ui/CBaseDlg.h"

#include "app/ui/AppIcon.h"

CBaseDlg::CBaseDlg(QWidget* parent) : QDialog(parent) {
    setWindowIcon(ApplicationIcon());
}

// The About box.
#pragma once

#include "app/ui/CBaseDlg.h"

class AboutDlg : public CBaseDlg {
    Q_OBJECT
public:
    explicit AboutDlg(QWidget* parent = nullptr);
};

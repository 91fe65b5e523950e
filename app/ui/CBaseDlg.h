// The base of the program's dialogs, which carry the application icon.
#pragma once

#include <QDialog>

class CBaseDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBaseDlg(QWidget* parent = nullptr);
};

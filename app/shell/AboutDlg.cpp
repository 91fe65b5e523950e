#include "app/shell/AboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

AboutDlg::AboutDlg(QWidget* parent) : CBaseDlg(parent) {
    setWindowTitle("About Kavirel");
    setWhatsThis("The program's name and version.");
    auto* icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(32, 32));
    auto* text = new QVBoxLayout;
    text->addWidget(new QLabel("Kavirel Version " KAVIREL_VERSION, this));
    text->addWidget(new QLabel("tolq sound analysis", this));
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

#include "app/ui/WindowImage.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPixmap>
#include <QWidget>

bool SaveWindowBmp(QWidget* window, QString path) {
    if (!window)
        return false;
    const QPixmap picture = window->grab();
    if (path.isEmpty()) {
        QFileDialog dialog(window, "Select BMP File", QString(), "BMP Files (*.bmp)");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("bmp");
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        path = dialog.selectedFiles().first();
    }
    return picture.toImage().save(path, "BMP");
}

void CopyWindowToClipboard(QWidget* window) {
    if (window)
        QGuiApplication::clipboard()->setImage(window->grab().toImage());
}

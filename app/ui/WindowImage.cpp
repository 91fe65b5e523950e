#include "app/ui/WindowImage.h"

#include "soundfile/ReplaceFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
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
    QByteArray bmp;
    QBuffer buffer(&bmp);
    std::string problem = path.toStdString() + " cannot be written.";
    if (buffer.open(QIODevice::WriteOnly) && picture.toImage().save(&buffer, "BMP") &&
        ReplaceFileContents(path.toStdString(), bmp.constData(), size_t(bmp.size()), problem))
        return true;
    QMessageBox::critical(window, "Kavirel", QString::fromStdString(problem));
    return false;
}

void CopyWindowToClipboard(QWidget* window) {
    if (window)
        QGuiApplication::clipboard()->setImage(window->grab().toImage());
}

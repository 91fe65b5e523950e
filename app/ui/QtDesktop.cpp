#include "app/ui/QtDesktop.h"

#include "soundfile/ui/CRawFormatDlg.h"

#include <QApplication>
#include <QMessageBox>

void QtDesktop::SetInfoText(const std::string& text) {
    if (!infoBox_)
        return;
    // Texts are written with "\r\n" line ends; the box wants plain "\n".
    QString shown = QString::fromStdString(text);
    shown.remove('\r');
    infoBox_->setPlainText(shown);
    // Progress texts arrive during long computations on this thread: show
    // them now, not when the computation is over.
    infoBox_->repaint();
}

void QtDesktop::ShowMessage(const std::string& text, MessageIcon icon) {
    const QMessageBox::Icon qtIcon = icon == MessageIcon::Stop          ? QMessageBox::Critical
                                     : icon == MessageIcon::Information ? QMessageBox::Information
                                                                        : QMessageBox::NoIcon;
    QMessageBox box(qtIcon, "Kavirel", QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtDesktop::AskRawFormat(const std::string& path, RawFormat& values) {
    CRawFormatDlg dialog(QString::fromStdString(path), values, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    values = dialog.Values();
    return true;
}

void QtDesktop::BeginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtDesktop::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}

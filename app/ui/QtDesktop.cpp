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

bool QtDesktop::ShowStoppableProgress(const std::string& text, int percent) {
    SetInfoText(text);
    if (!progress_) {
        // What runs, by the first word of its progress texts.
        const QString task = text.rfind("FFT", 0) == 0   ? "Computing the spectrum..."
                             : text.rfind("SON", 0) == 0 ? "Computing the sonagram..."
                                                         : "Decoding the sound file...";
        progress_ =
            std::make_unique<QProgressDialog>(task, "Cancel", 0, 100, QApplication::activeWindow());
        progress_->setWindowTitle("Kavirel");
        progress_->setWindowModality(Qt::ApplicationModal);
        // Short tasks finish before the box would be worth a glance.
        progress_->setMinimumDuration(500);
    }
    // A modal progress box takes its own events here, Cancel and Esc among them.
    progress_->setValue(percent);
    return !progress_->wasCanceled();
}

void QtDesktop::EndStoppableProgress() {
    progress_.reset();
}

void QtDesktop::BeginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtDesktop::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}

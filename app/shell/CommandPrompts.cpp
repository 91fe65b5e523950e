#include "app/shell/CommandPrompts.h"

#include "resources/CommandIds.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

QString CommandPrompt(int id) {
    switch (id) {
    case Cmd::ViewHead:
        return QStringLiteral("Show or hide the head");
    case Cmd::ViewProject:
        return QStringLiteral("Show or hide the project");
    case Cmd::FileOpen:
        return QStringLiteral("Open Soundfile");
    case Cmd::OptionsAnalysis:
        return QStringLiteral("Analysis");
    case Cmd::ViewInsertSon:
    case Cmd::HeadInsertSon:
        return QStringLiteral("Insert Son");
    case Cmd::ViewShowInfo:
    case Cmd::HeadShowInfo:
        return QStringLiteral("Show Info");
    case Cmd::ViewInsertFft:
    case Cmd::HeadInsertFft:
        return QStringLiteral("Insert Fft");
    case Cmd::OptionsPlay:
        return QStringLiteral("Playoptions");
    case Cmd::ViewTask:
    case Cmd::HeadTask:
        return QStringLiteral("Task");
    case Cmd::HeadInsertWav:
    case Cmd::MethodWav:
        return QStringLiteral("Wav");
    case Cmd::MethodRms:
        return QStringLiteral("Rms");
    case Cmd::ViewInsertWav:
        return QStringLiteral("Insert Wav");
    case Cmd::InsertCepFreq:
        return QStringLiteral("Insert CepFreq");
    case Cmd::ViewShowPitch:
        return QStringLiteral("Show or hide the tracked pitch over the sonagram");
    case Cmd::SaveBmp:
        return QStringLiteral("Save the window as a BMP file");
    case Cmd::EditCopy:
        return QStringLiteral("Copy the window to the clipboard");
    default:
        return QString();
    }
}

CommandPromptFilter::CommandPromptFilter(QWidget* mainWindow) : QObject(mainWindow) {}

bool CommandPromptFilter::eventFilter(QObject* watched, QEvent* event) {
    // A popup is a window: the prompt would stop there.
    if (event->type() == QEvent::StatusTip && qobject_cast<QMenu*>(watched)) {
        QCoreApplication::sendEvent(parent(), event);
        return true;
    }
    if (event->type() == QEvent::Show)
        if (auto* menu = qobject_cast<QMenu*>(watched))
            for (QAction* action : menu->actions())
                if (action->statusTip().isEmpty() && action->data().isValid()) {
                    const QString prompt = CommandPrompt(action->data().toInt());
                    if (!prompt.isEmpty())
                        action->setStatusTip(prompt);
                }
    return QObject::eventFilter(watched, event);
}

// The status-bar prompts of commands, by command id, and the filter that
// gives every entry of a popup menu its prompt.
#pragma once

#include <QObject>
#include <QString>

// The prompt of command id for the status bar; empty for an unknown id.
QString CommandPrompt(int id);

// Installed on the application: each menu, as it is shown, gets the prompts
// of the commands its entries carry as their data, where an entry has none.
class CommandPromptFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

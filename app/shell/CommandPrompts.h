// The status-bar prompts of commands, by command id, and the filter that
// gives every entry of a popup menu its prompt.
#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

// The prompt of command id for the status bar; empty for an unknown id.
QString CommandPrompt(int id);

// Installed on the application: each menu, as it is shown, gets the prompts
// of the commands its entries carry as their data, where an entry has none,
// and the prompts of popup menus, windows of their own, reach the status bar
// of the main window.
class CommandPromptFilter : public QObject {
    Q_OBJECT
public:
    // mainWindow shows the prompts and owns the filter.
    explicit CommandPromptFilter(QWidget* mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

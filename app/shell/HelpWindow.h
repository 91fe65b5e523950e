// The manual: the user's guide bundled with the program, with its contents
// beside it and a search field above.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QTreeWidget;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    QTextBrowser& Browser() const { return *browser_; }
    QTreeWidget& Contents() const { return *contents_; }
    // Selects the next place the text occurs after the current one, from the
    // top again after the last; false when it occurs nowhere.
    bool Find(const QString& text);

private:
    void BuildContents();
    void ShowSection(int blockNumber);

    QLineEdit* search_;
    QLabel* searchResult_;
    QTreeWidget* contents_;
    QTextBrowser* browser_;
};

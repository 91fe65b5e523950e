#include "app/shell/HelpWindow.h"

#include "app/ui/AppIcon.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), search_(new QLineEdit), searchResult_(new QLabel),
      contents_(new QTreeWidget), browser_(new QTextBrowser) {
    setWindowTitle("Kavirel Help");
    setWindowIcon(ApplicationIcon());
    setWhatsThis("The Kavirel manual. Click a heading in the contents to go there; type a word "
                 "in the search field and press Enter to find it, again for the next place.");
    search_->setPlaceholderText("Search the manual");
    search_->setClearButtonEnabled(true);
    contents_->setHeaderHidden(true);
    contents_->setColumnCount(1);
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl("qrc:/manual/manual.html"));

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel("Find:"));
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(searchResult_);
    auto* splitter = new QSplitter;
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 660});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(splitter, 1);
    resize(960, 680);

    BuildContents();
    connect(contents_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ShowSection(item->data(0, Qt::UserRole).toInt()); });
    connect(search_, &QLineEdit::returnPressed, this, [this] {
        const bool found = Find(search_->text());
        searchResult_->setText(found || search_->text().isEmpty() ? QString() : "Not found");
    });
}

void HelpWindow::BuildContents() {
    // The headings of the manual are its contents: chapters and their
    // sections.
    QTreeWidgetItem* chapter = nullptr;
    const QTextDocument* document = browser_->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level != 2 && level != 3)
            continue;
        QTreeWidgetItem* entry = nullptr;
        if (level == 2 || !chapter) {
            entry = new QTreeWidgetItem(contents_, {block.text()});
            chapter = entry;
        } else {
            entry = new QTreeWidgetItem(chapter, {block.text()});
        }
        entry->setData(0, Qt::UserRole, block.blockNumber());
    }
}

void HelpWindow::ShowSection(int blockNumber) {
    const QTextBlock block = browser_->document()->findBlockByNumber(blockNumber);
    if (!block.isValid())
        return;
    const QRectF where = browser_->document()->documentLayout()->blockBoundingRect(block);
    browser_->verticalScrollBar()->setValue(int(where.top()));
}

bool HelpWindow::Find(const QString& text) {
    if (text.isEmpty())
        return false;
    if (browser_->find(text))
        return true;
    QTextCursor top(browser_->document());
    browser_->setTextCursor(top);
    return browser_->find(text);
}

// The application: start-up and shut-down, the application-wide objects
// (settings, player, data log), opening files as heads, inserting items,
// and the services other windows call.
#pragma once

#include "app/ui/QtDesktop.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <string>

class CMainFrame;
class CProjectTree;
class CHeadWnd;
class CSfBase;
class CSfHead;
class CSfPlay;
class CSfSettings;
class DataLogFile;
class DocTemplate;
class OutputService;
class QtSettingsStore;

class CSfApp : public QObject {
    Q_OBJECT
public:
    // Starts the program inside a running QApplication: settings, main frame
    // with its bars, player, data log; then opens the file named in args, if any.
    explicit CSfApp(const QStringList& args);
    ~CSfApp() override;

    static CSfApp* Instance();

    CMainFrame* MainFrame() const { return mainFrame_.get(); }
    CProjectTree* Tree() const;
    CHeadWnd* HeadWindow() const;
    CSfSettings& Settings() const { return *settings_; }
    CSfPlay& Player() const { return *player_; }
    DataLogFile& DataLog() const { return *dataLog_; }
    QtSettingsStore& Store() const { return *store_; }
    QtDesktop& Desktop() { return desktop_; }

    void SetInfoText(const std::string& text);
    void SelectItem(CSfBase* item);
    void RemoveItem(CSfBase* item);
    // Removes path from the recent-file list.
    void ForgetPath(const QString& path);

    // Opens a sound file as a new head, asking for it when path is empty.
    bool OpenHead(const QString& path = QString());
    // Inserts an item of the request's kind (InsertRequest) for source.
    void InsertItem(int request, CSfBase* source);

    // Plays frames start .. end of head with the head window following.
    void PlayHead(CSfHead* head, uint32_t start, uint32_t end, bool loop);

    void ShowAbout();
    void RunPlayOptions();

private:
    bool AskSoundFile(std::string& path);
    void AddRecentFile(const QString& path);
    void StoreRecentFiles();

    QtDesktop desktop_;
    std::unique_ptr<QtSettingsStore> store_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<CSfSettings> settings_;
    std::unique_ptr<OutputService> output_;
    std::unique_ptr<CSfPlay> player_;
    std::unique_ptr<DataLogFile> dataLog_;
    std::unique_ptr<DocTemplate> waveformTemplate_;
    QStringList recentFiles_;
};

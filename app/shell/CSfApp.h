// The application: start-up and shut-down, the application-wide objects
// (settings, player, data log), opening files as heads, inserting items,
// and the services the windows get passed (ViewServices).
#pragma once

#include "app/ui/QtDesktop.h"
#include "app/ui/ViewServices.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <string>

class CMainFrame;
class CProjectTree;
class CHeadWnd;
class DataLogFile;
class DocTemplate;
class OutputService;
class QtSettingsStore;

class CSfApp : public QObject, public ViewServices {
    Q_OBJECT
public:
    // Starts the program inside a running QApplication: settings, player and
    // data log first, then the main frame with its bars, which may call back
    // at once; then opens the files named in args after the program's name,
    // one after another, each as File > Open would.
    explicit CSfApp(const QStringList& args);
    ~CSfApp() override;

    CMainFrame* MainFrame() const { return mainFrame_.get(); }
    CProjectTree* Tree() const;
    CHeadWnd* HeadWindow() const;
    DataLogFile& DataLog() const { return *dataLog_; }

    CSfHead* CurrentHead() const override;
    void SelectItem(CSfBase* item) override;
    void RemoveItem(CSfBase* item) override;
    void InsertItem(int request, CSfBase* source) override;
    CSfPlay& Player() override { return *player_; }
    std::weak_ptr<PlayNotifySink> HeadPlaySink() const override;
    void RefreshHeadWindow() override;
    const CSfSettings& Settings() const override { return *settings_; }
    CSfSettings& EditableSettings() override { return *settings_; }
    SettingsStore& Store() override;
    int ScreenWidth() const override { return screenWidth_; }
    // The width the analyses opened from now on are sized by; start-up takes
    // the primary screen's.
    void SetScreenWidth(int pixels) { screenWidth_ = pixels; }
    QtDesktop& Desktop() override { return desktop_; }
    void WriteDataLog(const std::string& line) override;

    void SetInfoText(const std::string& text);
    // Removes path from the recent-file list.
    void ForgetPath(const QString& path);

    // The filters of the open dialog. The stored filter index counts in this
    // order, so new filters go after the first five.
    static const QStringList& SoundFileFilters();

    // Opens a sound file as a new head, asking for it when path is empty.
    bool OpenHead(const QString& path = QString());

    void ShowAbout();
    void RunPlayOptions();
    // The Analysis options; after OK the data log goes to the path chosen.
    void RunAnalysisOptions();

private:
    bool AskSoundFile(std::string& path);
    // A file named on the command line or in the recent-file list that cannot
    // be read: tells the user why (also on standard error). False then.
    bool CheckReadable(const std::string& path);
    void AddRecentFile(const QString& path);
    void StoreRecentFiles();
    // Writes the settings file now, telling the user when it cannot be written.
    void SaveSettings();

    QtDesktop desktop_;
    std::unique_ptr<QtSettingsStore> store_;
    // Without a screen the analyses are sized as for a 1024-pixel one.
    int screenWidth_ = 1024;
    std::unique_ptr<CSfSettings> settings_;
    std::unique_ptr<OutputService> output_;
    std::unique_ptr<CSfPlay> player_;
    std::unique_ptr<DataLogFile> dataLog_;
    QStringList recentFiles_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<DocTemplate> sonagramTemplate_;
    std::unique_ptr<DocTemplate> spectrumTemplate_;
    std::unique_ptr<DocTemplate> waveformTemplate_;
};

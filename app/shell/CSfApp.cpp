#include "app/shell/CSfApp.h"

#include "app/shell/AboutDlg.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/CProjectTree.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/CBaseScrollView.h"
#include "app/ui/DataLogFile.h"
#include "app/ui/DocTemplate.h"
#include "playback/CSfPlay.h"
#include "playback/PortAudioOutput.h"
#include "playback/ui/CPlayOptionsDlg.h"
#include "resources/CommandIds.h"
#include "sonagram/ui/SonagramWindows.h"
#include "soundfile/AnalysisThreads.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/Decoder.h"
#include "soundfile/OpenHead.h"
#include "soundfile/Overview.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfItems.h"
#include "spectrum/ui/CSfParamSheet.h"
#include "spectrum/ui/SpectrumWindows.h"
#include "waveform/ui/CHeadWnd.h"
#include "waveform/ui/WaveformWindows.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kRecentFiles = 8;
const char* const kRecentSection = "Recent File List";

} // namespace

const QStringList& CSfApp::SoundFileFilters() {
    static const QStringList filters = [] {
        QStringList list = {"Wave Files (*.wav)", "AIFF Files (*.aif *.aiff)",
                            "Sun/NeXT Files (*.au *.snd)", "Raw Files (*.raw *.pcm)",
                            "All Files (*)"};
        QStringList patterns;
        for (const std::string& extension : SoundFileExtensions())
            patterns << "*." + QString::fromStdString(extension);
        list << "Sound Files (" + patterns.join(' ') + ")";
        return list;
    }();
    return filters;
}

CSfApp::CSfApp(const QStringList& args) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        // A wall of screens wider than an overview may be is drawn at the
        // widest overview the cache holds.
        screenWidth_ = std::min(screen->geometry().width(), kMaxOverviewWidth);

    // Everything the windows call is built before the first window.
    store_ = std::make_unique<QtSettingsStore>();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const std::string path = store_->GetString(kRecentSection, "File" + std::to_string(i), "");
        if (!path.empty())
            recentFiles_.push_back(QString::fromStdString(path));
    }
    settings_ = std::make_unique<CSfSettings>(*store_);
    SetDecodedCacheBudget(DecodedCacheBudgetSetting(*store_));
    SetAnalysisThreads(AnalysisThreadsSetting(*store_));
    output_ = std::make_unique<PortAudioOutput>();
    player_ = std::make_unique<CSfPlay>(*output_, *store_, desktop_);
    player_->ExplainRefusals(true);
    dataLog_ = std::make_unique<DataLogFile>();
    dataLog_->Open(settings_->DataLogFile());

    mainFrame_ = std::make_unique<CMainFrame>(*this);
    connect(mainFrame_.get(), &CMainFrame::OpenFileRequested, this, [this] { OpenHead(); });
    connect(mainFrame_.get(), &CMainFrame::OpenRecentFile, this,
            [this](const QString& path) { OpenHead(path); });
    connect(mainFrame_.get(), &CMainFrame::AnalysisOptionsRequested, this,
            [this] { RunAnalysisOptions(); });
    connect(mainFrame_.get(), &CMainFrame::PlayOptionsRequested, this,
            [this] { RunPlayOptions(); });
    connect(mainFrame_.get(), &CMainFrame::AboutRequested, this, [this] { ShowAbout(); });
    connect(mainFrame_.get(), &CMainFrame::FilesDropped, this, [this](const QStringList& paths) {
        for (const QString& path : paths)
            OpenHead(path);
    });
    // Without a window manager (a virtual display) maximising does nothing;
    // the frame then takes the whole screen itself.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        mainFrame_->resize(screen->availableGeometry().size());
    mainFrame_->showMaximized();
    mainFrame_->CreateBars();
    mainFrame_->SetRecentFiles(recentFiles_);
    desktop_.SetInfoBox(mainFrame_->InfoBox());
    const auto pending = [tree = mainFrame_->Tree()] { return tree->Pending(); };
    sonagramTemplate_ = MakeSonagramTemplate(*this, pending);
    spectrumTemplate_ = MakeSpectrumTemplate(*this, pending);
    waveformTemplate_ = MakeWaveformTemplate(*this, pending);

    CProjectTree* tree = mainFrame_->Tree();
    connect(tree, &CProjectTree::HeadWindowChanged, this, [this] { HeadWindow()->Refresh(); });
    connect(tree, &CProjectTree::PlayWholeHead, this, [this](CSfHead* head) {
        player_->PlayRange(head->Info(), 0, head->Info().frames, HeadPlaySink(), {}, false);
    });
    connect(tree, &CProjectTree::StopPlayback, this, [this] { player_->StopPlay(); });
    connect(tree, &CProjectTree::InfoCleared, this, [this] { SetInfoText(std::string()); });
    connect(tree, &CProjectTree::HeadClosing, this, [this](CSfHead* head) {
        // The player reads the file through its handle; stop it before the
        // handle closes and the number is given to another file.
        if (player_->IsPlaying() && player_->Notify().Read().handle == head->Info().handle)
            player_->StopPlay();
    });

    if (const std::string problem = SettingsFileProblem(); !problem.empty())
        desktop_.ShowMessage(problem, MessageIcon::Stop);
    for (int i = 1; i < args.size(); ++i)
        OpenHead(args[i]);
}

CSfApp::~CSfApp() {
    player_->StopPlay();
    // The tree deletes its items with the frame; nothing is left to tell.
    Tree()->blockSignals(true);
    mainFrame_.reset();
    settings_.reset();
}

CProjectTree* CSfApp::Tree() const {
    return mainFrame_->Tree();
}

CHeadWnd* CSfApp::HeadWindow() const {
    return mainFrame_->HeadWindow();
}

CSfHead* CSfApp::CurrentHead() const {
    // The bars come after the frame: a window asking meanwhile sees no head.
    return mainFrame_ && Tree() ? Tree()->CurrentHead() : nullptr;
}

std::weak_ptr<PlayNotifySink> CSfApp::HeadPlaySink() const {
    return mainFrame_ && HeadWindow() ? HeadWindow()->PlaySink() : std::weak_ptr<PlayNotifySink>();
}

void CSfApp::RefreshHeadWindow() {
    if (mainFrame_ && HeadWindow())
        HeadWindow()->update();
}

SettingsStore& CSfApp::Store() {
    return *store_;
}

void CSfApp::SaveSettings() {
    const std::string problem = store_->Sync();
    if (!problem.empty())
        desktop_.ShowMessage(problem, MessageIcon::Stop);
}

void CSfApp::WriteDataLog(const std::string& line) {
    std::string problem;
    if (!dataLog_->Write(line, problem)) {
        desktop_.ShowMessage(problem, MessageIcon::Stop);
        return;
    }
    // The status bar says where the measurement went, until the next prompt.
    if (mainFrame_)
        mainFrame_->statusBar()->showMessage(
            QString::fromStdString(
                DataLogStatusText(line, QFileInfo(QString::fromStdString(dataLog_->Path()))
                                            .absoluteFilePath()
                                            .toStdString())),
            kDataLogStatusMs);
}

void CSfApp::SetInfoText(const std::string& text) {
    desktop_.SetInfoText(text);
}

void CSfApp::SelectItem(CSfBase* item) {
    Tree()->SelectItem(item);
}

void CSfApp::RemoveItem(CSfBase* item) {
    Tree()->RemoveItem(item);
}

void CSfApp::ForgetPath(const QString& path) {
    for (int i = 0; i < recentFiles_.size(); ++i) {
        if (recentFiles_[i] == path) {
            recentFiles_.removeAt(i);
            StoreRecentFiles();
            return;
        }
    }
}

void CSfApp::AddRecentFile(const QString& path) {
    recentFiles_.removeAll(path);
    recentFiles_.prepend(path);
    while (recentFiles_.size() > kRecentFiles)
        recentFiles_.removeLast();
    StoreRecentFiles();
}

void CSfApp::StoreRecentFiles() {
    for (int i = 0; i < kRecentFiles; ++i) {
        const std::string key = "File" + std::to_string(i + 1);
        store_->SetString(kRecentSection, key,
                          i < recentFiles_.size() ? recentFiles_[i].toStdString() : std::string());
    }
    SaveSettings();
    mainFrame_->SetRecentFiles(recentFiles_);
}

bool CSfApp::AskSoundFile(std::string& path) {
    const std::string initialDir = store_->GetString("", "FOInitialDir", "./");
    const int filterIndex = store_->GetInt("", "FOFilterIndex", 0);
    QFileDialog dialog(mainFrame_.get(), "Select Sound File", QString::fromStdString(initialDir));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(SoundFileFilters());
    // A user who never chose a filter starts on every file that opens.
    dialog.selectNameFilter(filterIndex >= 1 && filterIndex <= SoundFileFilters().size()
                                ? SoundFileFilters()[filterIndex - 1]
                                : SoundFileFilters().last());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = dialog.selectedFiles().first();
    path = chosen.toStdString();
    const std::string directory = QFileInfo(chosen).absolutePath().toStdString() + "/";
    if (directory != initialDir)
        store_->SetString("", "FOInitialDir", directory);
    const int chosenIndex = int(SoundFileFilters().indexOf(dialog.selectedNameFilter())) + 1;
    if (chosenIndex != filterIndex)
        store_->SetInt("", "FOFilterIndex", chosenIndex);
    SaveSettings();
    return true;
}

bool CSfApp::OpenHead(const QString& given) {
    std::string path = given.toStdString();
    if (path.empty() && !AskSoundFile(path))
        return false;
    if (CSfHead* open = Tree()->FindHead(path)) {
        Tree()->SelectItem(open);
        return true;
    }
    if (!given.isEmpty() && !CheckReadable(path)) {
        ForgetPath(QString::fromStdString(path));
        return false;
    }
    std::unique_ptr<CSfHead> head = OpenHeadFile(path, desktop_, screenWidth_);
    if (!head) {
        ForgetPath(QString::fromStdString(path));
        return false;
    }
    AddRecentFile(QString::fromStdString(path));
    head->AttachWindow(HeadWindow());
    Tree()->AddHead(std::move(head));
    return true;
}

bool CSfApp::CheckReadable(const std::string& path) {
    if (::access(path.c_str(), R_OK) == 0)
        return true;
    const int error = errno;
    // The words of the open-file dialog for a name that is not there.
    std::string text = path + (error == ENOENT ? "\nFile not found.\nPlease verify the correct "
                                                 "file name was given."
                                               : "\n" + std::string(std::strerror(error)) + ".");
    if (recentFiles_.contains(QString::fromStdString(path)))
        text += "\nIt is removed from the recent file list.";
    std::fprintf(stderr, "kavirel: %s\n", text.c_str());
    desktop_.ShowMessage(text, MessageIcon::Stop);
    return false;
}

void CSfApp::InsertItem(int request, CSfBase* source) {
    if (!source)
        return;
    const DocTemplate* kind = nullptr;
    std::unique_ptr<CSfBase> item;
    // A sonagram hangs under the head of its source, the others under the
    // source itself.
    QTreeWidgetItem* parent = nullptr;
    switch (request) {
    case InsertRequest::Sonagram:
        if (!source->GetHead() || !(parent = Tree()->FindNode(source->GetHead())))
            return;
        item = MakeSonagramItem(*source, *settings_);
        kind = sonagramTemplate_.get();
        break;
    case InsertRequest::Spectrum:
        if (!(parent = Tree()->FindNode(source)))
            return;
        item = MakeSpectrumItem(*source, *settings_);
        kind = spectrumTemplate_.get();
        break;
    case InsertRequest::Waveform:
        if (!(parent = Tree()->FindNode(source)))
            return;
        item = MakeWaveformItem(*source);
        kind = waveformTemplate_.get();
        break;
    default:
        return;
    }
    if (!item) {
        desktop_.ShowMessage("You have to define a task!", MessageIcon::Information);
        return;
    }
    Tree()->SetPending(item.get());
    CBaseScrollView* view = kind->OpenDocument(mainFrame_->MdiArea());
    Tree()->SetPending(nullptr);
    if (!view)
        return;
    item->AttachWindow(view);
    if (CBaseFrm* frame = CBaseFrm::Of(view))
        frame->SetTitle(QString::fromStdString(item->GetName()));
    mainFrame_->UpdateCaption();
    Tree()->AddItem(std::move(item), parent);
}

void CSfApp::ShowAbout() {
    AboutDlg about(mainFrame_.get());
    about.exec();
}

void CSfApp::RunPlayOptions() {
    CPlayOptionsDlg dialog(*player_, mainFrame_.get());
    dialog.exec();
}

void CSfApp::RunAnalysisOptions() {
    CSfParamSheet sheet(*settings_, desktop_, mainFrame_.get());
    connect(&sheet, &CSfParamSheet::Applied, this, [this] {
        SaveSettings();
        dataLog_->Open(settings_->DataLogFile());
    });
    sheet.exec();
}

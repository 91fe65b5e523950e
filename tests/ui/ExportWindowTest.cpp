// File > Export Data and Export Image on real windows over real files: the
// spectrum pane writes what kavirel-cli spectrum prints, through the save
// dialog, which remembers its folder; Ctrl+Right visits the peaks that
// kavirel-cli peaks lists; every pane's table reads back through Python's csv
// reader, under a German locale too; the pictures are PNG, SVG, PDF and BMP
// files; failures are told.
#include "app/ui/CBaseDoc.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/ExportFiles.h"
#include "cli/CliRunner.h"
#include "sonagram/ui/CSonDoc.h"
#include "sonagram/ui/CSonFrm.h"
#include "sonagram/ui/CSonScrollView.h"
#include "sonagram/ui/CSonScrollView2.h"
#include "sonagram/ui/SonagramWindows.h"
#include "soundfile/OpenHead.h"
#include "spectrum/ui/CFftFrm.h"
#include "spectrum/ui/CFftScrollView.h"
#include "spectrum/ui/CFftScrollView2.h"
#include "spectrum/ui/SpectrumWindows.h"
#include "support/AnalysisFiles.h"
#include "support/FakeViewServices.h"
#include "waveform/ui/CHeadWnd.h"
#include "waveform/ui/CWavScrollView.h"
#include "waveform/ui/WaveformWindows.h"

#include <QFileDialog>
#include <QImage>
#include <QTimer>
#include <QtTest>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

constexpr uint32_t kRate = 16000;

// Three tones of equal amplitude, at 440, 1000 and 3520 Hz.
std::vector<int32_t> ThreeTones() {
    std::vector<int32_t> sum(kRate, 0);
    for (double hz : {440.0, 1000.0, 3520.0}) {
        const std::vector<int32_t> tone = Sine(kRate, hz, kRate, 6000);
        for (size_t i = 0; i < sum.size(); ++i)
            sum[i] += tone[i];
    }
    return sum;
}

std::string ReadText(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The "[%04d] %gHz" part of a spectrum info text.
bool CursorOf(const std::string& text, int* bin, double* hz) {
    const size_t open = text.rfind("\r\n[");
    return open != std::string::npos &&
           std::sscanf(text.c_str() + open, "\r\n[%d] %lfHz", bin, hz) == 2;
}

// Accepts the save dialog that opens next with the file name typed in, and
// notes the folder it opened in.
void AnswerSaveDialog(const QString& path, QString* openedIn) {
    QTimer::singleShot(0, [path, openedIn] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        *openedIn = dialog->directory().absolutePath();
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

} // namespace

class ExportWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void spectrumExportIsTheCommandLineSpectrum();
    void ctrlRightVisitsThePeaksTheCommandLineLists();
    void everyPaneReadsBackThroughPythonsCsvReader();
    void germanLocaleStillWritesDecimalPoints();
    void picturesArePngSvgPdfAndBmp();
    void writeFailuresAreToldAndTheSoundFileIsKept();

private:
    CSfHead& Head();
    // The spectrum window on the head's task.
    CFftFrm& SpectrumWindow(uint32_t start, uint32_t end);
    CSonFrm& SonagramWindow(uint32_t start, uint32_t end);
    CBaseFrm& WaveformWindow(uint32_t start, uint32_t end);
    bool Expose(QWidget& frame);
    Result Cli(const std::vector<std::string>& args);
    // The python reading of a written file, header first; empty on failure.
    std::vector<std::string> ReadBack(const QString& path);

    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<TempDir> config_;
    std::unique_ptr<FakeViewServices> services_;
    std::unique_ptr<CSfHead> head_;
    std::vector<std::unique_ptr<CSfBase>> items_;
    std::vector<std::unique_ptr<QWidget>> frames_;
};

void ExportWindowTest::init() {
    dir_ = std::make_unique<TempDir>();
    config_ = std::make_unique<TempDir>();
    services_ = std::make_unique<FakeViewServices>();
    services_->screenWidth = 300;
    FftSettings& fft = services_->settings.Fft();
    fft.Lfft = fft.Lwdw = fft.Shift = 1024;
    fft.IWin = 2;
}

void ExportWindowTest::cleanup() {
    frames_.clear();
    items_.clear();
    head_.reset();
    services_.reset();
    config_.reset();
    dir_.reset();
}

CSfHead& ExportWindowTest::Head() {
    if (!head_) {
        const std::string path =
            dir_->Write("tones.wav", MakeWav(MonoWav16(kRate), PcmBytes(ThreeTones(), 2)));
        head_ = OpenHeadFile(path, services_->desktop, services_->screenWidth);
        services_->currentHead = head_.get();
    }
    return *head_;
}

bool ExportWindowTest::Expose(QWidget& frame) {
    frame.resize(640, 480);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return false;
    QCoreApplication::processEvents();
    return true;
}

CFftFrm& ExportWindowTest::SpectrumWindow(uint32_t start, uint32_t end) {
    SetHeadTask(Head(), start, end);
    items_.push_back(MakeSpectrumItem(Head(), services_->settings));
    auto* view = new CFftScrollView(*services_, std::make_unique<CBaseDoc>(items_.back().get()));
    auto frame = std::make_unique<CFftFrm>(*services_, view);
    CFftFrm& shown = *frame;
    frames_.push_back(std::move(frame));
    Expose(shown);
    view->setFocus();
    return shown;
}

CSonFrm& ExportWindowTest::SonagramWindow(uint32_t start, uint32_t end) {
    SetHeadTask(Head(), start, end);
    items_.push_back(MakeSonagramItem(Head(), services_->settings));
    auto* view = new CSonScrollView(
        *services_, std::make_unique<CSonDoc>(static_cast<CSfSon*>(items_.back().get())));
    auto frame = std::make_unique<CSonFrm>(*services_, view);
    CSonFrm& shown = *frame;
    frames_.push_back(std::move(frame));
    Expose(shown);
    return shown;
}

CBaseFrm& ExportWindowTest::WaveformWindow(uint32_t start, uint32_t end) {
    SetHeadTask(Head(), start, end);
    items_.push_back(MakeWaveformItem(Head()));
    auto* view = new CWavScrollView(*services_, std::make_unique<CBaseDoc>(items_.back().get()));
    auto frame = std::make_unique<CBaseFrm>(*services_, view);
    CBaseFrm& shown = *frame;
    frames_.push_back(std::move(frame));
    Expose(shown);
    return shown;
}

Result ExportWindowTest::Cli(const std::vector<std::string>& args) {
    return RunCli("LC_ALL=C XDG_CONFIG_HOME=" + Quote(config_->Path()), args, dir_->Path());
}

std::vector<std::string> ExportWindowTest::ReadBack(const QString& path) {
    const QString kind = path.endsWith(".csv") ? "csv" : "tsv";
    const Result r = RunProgram("/usr/bin/python3", "",
                                {std::string(KAVIREL_SOURCE_DIR) + "/tests/support/read_table.py",
                                 kind.toStdString(), path.toStdString()},
                                dir_->Path());
    if (r.code != 0) {
        qWarning("%s", r.err.c_str());
        return {};
    }
    return Lines(r.out);
}

void ExportWindowTest::spectrumExportIsTheCommandLineSpectrum() {
    CFftFrm& window = SpectrumWindow(4000, 4000);
    CBaseScrollView& spectrum = *window.View();
    QVERIFY(spectrum.ExportsData());
    const std::string file = Head().Info().path;
    const std::vector<std::string> same = {"--start",  "4000", "--lfft",         "1024",
                                           "--lwdw",   "1024", "--shift",        "1024",
                                           "--window", "2",    "--screen-width", "300"};
    std::vector<std::string> spectrumArgs = {"spectrum", file};
    spectrumArgs.insert(spectrumArgs.end(), same.begin(), same.end());
    const Result tsv = Cli(spectrumArgs);
    spectrumArgs.insert(spectrumArgs.end(), {"--format", "csv"});
    const Result csv = Cli(spectrumArgs);
    QCOMPARE(tsv.code, 0);
    QCOMPARE(Lines(tsv.out).size(), size_t(512));

    // Through the dialog, as the popup's Export Data does it; the folder is
    // remembered only once used.
    QCOMPARE(services_->store.GetString(kExportSection, kExportFolderKey, "none"),
             std::string("none"));
    const QString folder = QString::fromStdString(dir_->Path());
    QString openedIn;
    AnswerSaveDialog(folder + "/spectrum.csv", &openedIn);
    QVERIFY(ExportViewData(spectrum, *services_));
    QCOMPARE(ReadText(folder + "/spectrum.csv"), csv.out);
    QCOMPARE(services_->store.GetString(kExportSection, kExportFolderKey, ""),
             folder.toStdString());

    // The next dialog opens there; a tab-separated file is the command line's
    // output under the same header.
    AnswerSaveDialog("spectrum.tsv", &openedIn);
    QVERIFY(ExportViewData(spectrum, *services_));
    QCOMPARE(openedIn, folder);
    QCOMPARE(ReadText(folder + "/spectrum.tsv"), "bin\tfrequency_hz\tlevel_db\n" + tsv.out);

    // A name without an extension gets .csv.
    QVERIFY(WriteViewData(spectrum, folder + "/plain", *services_));
    QCOMPARE(ReadText(folder + "/plain.csv"), csv.out);
}

void ExportWindowTest::ctrlRightVisitsThePeaksTheCommandLineLists() {
    CFftFrm& window = SpectrumWindow(2000, 2000);
    auto* spectrum = static_cast<CFftScrollView*>(window.View());
    const Result peaks = Cli({"peaks", Head().Info().path, "--start", "2000", "--lfft", "1024",
                              "--lwdw", "1024", "--window", "2", "--screen-width", "300"});
    QCOMPARE(peaks.code, 0);
    const std::vector<std::string> listed = Lines(peaks.out);
    QVERIFY(listed.size() >= 3);

    QTest::keyClick(spectrum, Qt::Key_Home);
    std::vector<double> visited;
    int lastBin = -1;
    for (int i = 0; i < 200; ++i) {
        QTest::keyClick(spectrum, Qt::Key_Right, Qt::ControlModifier);
        int bin = 0;
        double hz = 0;
        QVERIFY(CursorOf(services_->LastInfo(), &bin, &hz));
        if (bin == lastBin)
            break;
        lastBin = bin;
        visited.push_back(hz);
    }
    QCOMPARE(visited.size(), listed.size());
    for (size_t i = 0; i < listed.size(); ++i) {
        const double hz = std::stod(listed[i]);
        // The info text shows six digits.
        QVERIFY2(std::abs(visited[i] - hz) <= 5e-6 * hz + 1e-3,
                 (listed[i] + " against " + std::to_string(visited[i])).c_str());
    }
}

void ExportWindowTest::everyPaneReadsBackThroughPythonsCsvReader() {
    const QString folder = QString::fromStdString(dir_->Path());
    CFftFrm& instant = SpectrumWindow(3000, 3000);
    CFftFrm& range = SpectrumWindow(1000, 12000);
    CSonFrm& sonagram = SonagramWindow(0, 8000);
    CBaseFrm& shortWave = WaveformWindow(100, 400);
    CBaseFrm& longWave = WaveformWindow(0, 16000);
    CHeadWnd head(*services_);
    // The sonagram image exports the levels of its cells, one column per image
    // row from the lowest frequency up, and the pitch contour while it shows.
    CSonScrollView& image = *sonagram.ImagePane();
    QVERIFY(image.ExportsData());
    const DataTable levels = image.ExportTable();
    const SonagramCells& cells = image.Cells();
    QCOMPARE(levels.rows.size(), size_t(cells.width));
    QCOMPARE(levels.columns.size(), size_t(cells.height) + 1);
    QCOMPARE(levels.columns[0], std::string("time_s"));
    QCOMPARE(levels.columns[1], std::string("0"));
    QVERIFY(std::stod(levels.columns[2]) > 0);
    for (int column : {0, cells.width / 2, cells.width - 1})
        for (int row : {0, cells.height / 3, cells.height - 1})
            QCOMPARE(std::stof(levels.rows[size_t(column)][size_t(cells.height - row)]),
                     cells.LevelAt(column, row));
    image.TogglePitch();
    QVERIFY(image.ExportsData());
    const struct {
        const char* name;
        DataTable table;
        std::vector<std::string> columns;
        size_t rows;
    } cases[] = {
        {"spectrum", instant.View()->ExportTable(), {"bin", "frequency_hz", "level_db"}, 512},
        {"frame", instant.FramePane()->ExportTable(), {"index", "time_s", "value"}, 600},
        {"range frame", range.FramePane()->ExportTable(), {"index", "time_s", "value"}, 600},
        {"levels", sonagram.LevelPane()->ExportTable(), {"index", "time_s", "level_db"}, 0},
        {"samples", shortWave.View()->ExportTable(), {"index", "time_s", "value"}, 300},
        {"envelope", longWave.View()->ExportTable(), {"index", "time_s", "min", "max"}, 300},
        {"pitch", image.ExportTable(), {"time_s", "f0_hz"}, 0},
        {"image", levels, {levels.columns.begin(), levels.columns.end()}, size_t(cells.width)},
        {"overview",
         head.ExportTable(),
         {"channel", "column", "time_s", "min", "max", "level_db"},
         300},
    };
    for (const auto& c : cases) {
        for (const char* extension : {".csv", ".tsv", ".txt"}) {
            const QString path = folder + "/" + c.name + extension;
            QVERIFY(WriteTableFile(c.table, path, *services_));
            const std::vector<std::string> lines = ReadBack(path);
            QVERIFY2(!lines.empty(), c.name);
            std::string header;
            for (const std::string& column : c.columns)
                header += (header.empty() ? "" : "\t") + column;
            QCOMPARE(lines[0], header);
            if (c.rows)
                QCOMPARE(lines.size() - 1, c.rows);
            else
                QVERIFY(lines.size() > 10);
        }
    }
    // The range's frame pane is its min/max envelope: each pair rises.
    const DataTable& frame = cases[2].table;
    for (size_t i = 0; i + 1 < frame.rows.size(); i += 2) {
        QCOMPARE(frame.rows[i][1], frame.rows[i + 1][1]);
        QVERIFY(std::stod(frame.rows[i][2]) <= std::stod(frame.rows[i + 1][2]));
    }
    QCOMPARE(frame.rows[0][1], std::string("0.0625"));
    // The short waveform is the samples themselves, 1/16000 s apart.
    QCOMPARE(cases[4].table.rows[1][1], std::string("0.0063125"));
}

void ExportWindowTest::germanLocaleStillWritesDecimalPoints() {
    CFftFrm& window = SpectrumWindow(4000, 4000);
    const QString folder = QString::fromStdString(dir_->Path());
    QVERIFY(WriteViewData(*window.View(), folder + "/c.csv", *services_));
    QVERIFY(std::setlocale(LC_ALL, "de_DE.UTF-8"));
    const bool written = WriteViewData(*window.View(), folder + "/de.csv", *services_);
    std::setlocale(LC_ALL, "C");
    QVERIFY(written);
    const std::string german = ReadText(folder + "/de.csv");
    QCOMPARE(german, ReadText(folder + "/c.csv"));
    QVERIFY(german.find("15.625,") != std::string::npos);
    QCOMPARE(ReadBack(folder + "/de.csv").size(), size_t(513));
}

void ExportWindowTest::picturesArePngSvgPdfAndBmp() {
    const QString folder = QString::fromStdString(dir_->Path());
    CFftFrm& spectrum = SpectrumWindow(4000, 4000);
    CSonFrm& sonagram = SonagramWindow(0, 8000);
    for (CBaseFrm* frame : {static_cast<CBaseFrm*>(&spectrum), static_cast<CBaseFrm*>(&sonagram)}) {
        const QString name = folder + "/" + (frame == &spectrum ? "spectrum" : "sonagram");
        CBaseScrollView& view = *frame->View();
        for (const char* extension : {".png", ".svg", ".pdf", ".bmp"})
            QVERIFY(WriteViewImage(view, name + extension, *services_));
        const QImage png(name + ".png");
        QCOMPARE(png.size(), frame->size() * frame->devicePixelRatio());
        QCOMPARE(QImage(name + ".bmp").size(), png.size());
        const std::string svg = ReadText(name + ".svg");
        QVERIFY(svg.find("<svg") != std::string::npos);
        // Curves and axes as vector paths; the sonagram as an embedded image.
        QVERIFY(svg.find("<path") != std::string::npos ||
                svg.find("<polyline") != std::string::npos);
        if (frame == &sonagram)
            QVERIFY(svg.find("<image") != std::string::npos);
        QCOMPARE(ReadText(name + ".pdf").substr(0, 5), std::string("%PDF-"));
    }
    QVERIFY(services_->desktop.messages.empty());
}

void ExportWindowTest::writeFailuresAreToldAndTheSoundFileIsKept() {
    CFftFrm& window = SpectrumWindow(4000, 4000);
    const std::string sound = Head().Info().path;
    const Bytes before = ReadFileBytes(sound);
    const QString folder = QString::fromStdString(dir_->Path());
    QVERIFY(!WriteViewData(*window.View(), folder + "/no/such/folder/x.csv", *services_));
    QCOMPARE(services_->desktop.messages.size(), size_t(1));
    QCOMPARE(services_->desktop.messages.back().second, MessageIcon::Stop);
    // Beside the sound file is fine: a new file.
    QVERIFY(WriteViewData(*window.View(), QString::fromStdString(sound) + ".csv", *services_));
    QCOMPARE(services_->desktop.messages.size(), size_t(1));
    // The sound file itself, named as a tab-separated table, is refused.
    const QString asTable = folder + "/tones.txt";
    QVERIFY(QFile::link(QString::fromStdString(sound), asTable));
    QVERIFY(!WriteViewData(*window.View(), asTable, *services_));
    QCOMPARE(services_->desktop.messages.size(), size_t(2));
    QVERIFY(!WriteViewImage(*window.View(), folder + "/no/such/folder/x.png", *services_));
    QCOMPARE(services_->desktop.messages.size(), size_t(3));
    QVERIFY(ReadFileBytes(sound) == before);
    // A remembered folder is only one that was written to.
    QCOMPARE(services_->store.GetString(kExportSection, kExportFolderKey, ""),
             folder.toStdString());
}

QTEST_MAIN(ExportWindowTest)
#include "ExportWindowTest.moc"

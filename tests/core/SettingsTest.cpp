#include "soundfile/CSfSettings.h"
#include "soundfile/MemoryStore.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfFftParam.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <utility>

namespace {

TEST(SettingsFftParam, RecordStartsWithStatedDefaults) {
    const SfFftParam param;
    EXPECT_EQ(param.Floor, 70);
    EXPECT_EQ(param.Range, 70);
    EXPECT_EQ(param.Fmin, 0.0f);
    EXPECT_EQ(param.Fmax, 8000.0f);
    EXPECT_EQ(param.view.cursorX, 28);
    EXPECT_EQ(param.CepFreq, 500.0);
}

TEST(SettingsLoad, EmptyStoreGivesDefaultsAndWritesNothing) {
    MemoryStore store;
    const CSfSettings settings(store);

    const FftSettings& son = settings.Son();
    EXPECT_EQ(son.Lfft, 1024);
    EXPECT_EQ(son.Lwdw, 1024);
    EXPECT_EQ(son.IWin, 4);
    EXPECT_EQ(son.Shift, 1024);
    EXPECT_EQ(son.Floor, 70);
    EXPECT_EQ(son.Range, 70);
    EXPECT_EQ(son.Fmin, 0.0f);
    EXPECT_EQ(son.Fmax, 8000.0f);

    const FftSettings& fft = settings.Fft();
    EXPECT_EQ(fft.Lfft, 2048);
    EXPECT_EQ(fft.Lwdw, 2048);
    EXPECT_EQ(fft.IWin, 4);
    EXPECT_EQ(fft.Shift, 2048);
    EXPECT_EQ(fft.Floor, 70);
    EXPECT_EQ(fft.Range, 70);
    EXPECT_EQ(fft.Fmin, 0.0f);
    EXPECT_EQ(fft.Fmax, 8000.0f);
    EXPECT_EQ(fft.CepFreq, 500.0);
    EXPECT_EQ(settings.XScale(), 17u);
    EXPECT_EQ(settings.YScale(), 18u);
    EXPECT_EQ(settings.Method(), 0);
    EXPECT_EQ(settings.CepFreq(), 500.0);

    EXPECT_EQ(settings.Min(), 0.0);
    EXPECT_EQ(settings.Max(), 100.0);
    EXPECT_EQ(settings.Auto(), 1);
    EXPECT_EQ(settings.Scale(), 1);

    EXPECT_EQ(settings.Btf(), 440.0);
    EXPECT_EQ(settings.Btn(), 0);
    EXPECT_EQ(settings.DataLogFile(), "DataLog.txt");
    EXPECT_EQ(settings.DataLogInitDir(), "./");
    EXPECT_EQ(settings.DataLogFilterNdx(), 1);

    EXPECT_EQ(store.Keys(), "");
}

TEST(SettingsLoad, StoredValuesReachTheirFields) {
    MemoryStore store;
    store.SetInt("Son", "Lfft", 4096);
    store.SetInt("Son", "Lwdw", 2000);
    store.SetInt("Son", "IWin", 2);
    store.SetInt("Son", "Shift", 512);
    store.SetInt("Son", "Floor", 60);
    store.SetInt("Son", "Range", 90);
    store.SetInt("Son", "Fmin", 100);
    store.SetInt("Son", "Fmax", 5000);
    store.SetInt("Fft", "Lfft", 8192);
    store.SetInt("Fft", "Lwdw", 4096);
    store.SetInt("Fft", "IWin", 3);
    store.SetInt("Fft", "Shift", 256);
    store.SetInt("Fft", "Floor", 50);
    store.SetInt("Fft", "Range", 80);
    store.SetInt("Fft", "Fmin", 200);
    store.SetInt("Fft", "Fmax", 6000);
    store.SetInt("Fft", "XScale", 20);
    store.SetInt("Fft", "YScale", 1);
    store.SetInt("Fft", "Method", 1);
    store.SetInt("Fft", "CepFreq", 300);
    store.SetString("Rms", "Min", "-12.25");
    store.SetString("Rms", "Max", "42.5");
    store.SetInt("Rms", "Auto", 0);
    store.SetInt("Rms", "Scale", 2);
    store.SetString("General", "Btf", "442.5");
    store.SetInt("General", "Btn", 1);
    store.SetString("General", "DataLogFile", "/home/ana/log.txt");
    store.SetString("General", "DataLogInitDir", "/home/ana/");
    store.SetInt("General", "DataLogFilterNdx", 3);

    const CSfSettings settings(store);

    const FftSettings& son = settings.Son();
    EXPECT_EQ(son.Lfft, 4096);
    EXPECT_EQ(son.Lwdw, 2000);
    EXPECT_EQ(son.IWin, 2);
    EXPECT_EQ(son.Shift, 512);
    EXPECT_EQ(son.Floor, 60);
    EXPECT_EQ(son.Range, 90);
    EXPECT_EQ(son.Fmin, 100.0f);
    EXPECT_EQ(son.Fmax, 5000.0f);
    EXPECT_EQ(son.CepFreq, 500.0) << "the sonagram has no cut-off of its own";

    const FftSettings& fft = settings.Fft();
    EXPECT_EQ(fft.Lfft, 8192);
    EXPECT_EQ(fft.Lwdw, 4096);
    EXPECT_EQ(fft.IWin, 3);
    EXPECT_EQ(fft.Shift, 256);
    EXPECT_EQ(fft.Floor, 50);
    EXPECT_EQ(fft.Range, 80);
    EXPECT_EQ(fft.Fmin, 200.0f);
    EXPECT_EQ(fft.Fmax, 6000.0f);
    EXPECT_EQ(fft.CepFreq, 300.0);
    EXPECT_EQ(settings.XScale(), 20u);
    EXPECT_EQ(settings.YScale(), 1u);
    EXPECT_EQ(settings.Method(), 1);
    EXPECT_EQ(settings.CepFreq(), 300.0);

    EXPECT_EQ(settings.Min(), -12.25);
    EXPECT_EQ(settings.Max(), 42.5);
    EXPECT_EQ(settings.Auto(), 0);
    EXPECT_EQ(settings.Scale(), 2);

    EXPECT_EQ(settings.Btf(), 442.5);
    EXPECT_EQ(settings.Btn(), 1);
    EXPECT_EQ(settings.DataLogFile(), "/home/ana/log.txt");
    EXPECT_EQ(settings.DataLogInitDir(), "/home/ana/");
    EXPECT_EQ(settings.DataLogFilterNdx(), 3);
}

TEST(SettingsLoad, WindowLengthLimitedToTransformLength) {
    MemoryStore store;
    store.SetInt("Son", "Lfft", 512);
    store.SetInt("Son", "Lwdw", 1024);
    store.SetInt("Fft", "Lfft", 256);
    const CSfSettings settings(store);
    EXPECT_EQ(settings.Son().Lfft, 512);
    EXPECT_EQ(settings.Son().Lwdw, 512);
    EXPECT_EQ(settings.Fft().Lfft, 256);
    EXPECT_EQ(settings.Fft().Lwdw, 256) << "the default window length is limited too";
}

TEST(SettingsLoad, DecimalTextsReadLikeAtof) {
    const std::pair<const char*, double> cases[] = {
        {"abc", 0.0},    {"", 0.0},       {"12abc", 12.0}, {"  7.5", 7.5},
        {"1e3", 1000.0}, {"+3.25", 3.25}, {"-0.5x", -0.5}, {"4,5", 4.0},
    };
    for (const auto& [text, expected] : cases) {
        MemoryStore store;
        store.SetString("General", "Btf", text);
        store.SetString("Rms", "Min", text);
        store.SetString("Rms", "Max", text);
        const CSfSettings settings(store);
        // A reference pitch no note name can be reckoned from falls back to 440.
        EXPECT_EQ(settings.Btf(), expected >= 100.0 && expected <= 1000.0 ? expected : 440.0)
            << '"' << text << '"';
        EXPECT_EQ(settings.Min(), expected) << '"' << text << '"';
        EXPECT_EQ(settings.Max(), expected) << '"' << text << '"';
    }
}

TEST(SettingsLoad, ValuesTheOptionsSheetRefusesFallBackToDefaults) {
    MemoryStore store;
    store.SetInt("Son", "Lfft", 1000); // not a power of two
    store.SetInt("Son", "Lwdw", 1000);
    store.SetInt("Son", "Shift", 0);
    store.SetInt("Son", "Range", -5);
    store.SetInt("Son", "Fmin", 5000);
    store.SetInt("Son", "Fmax", 5000);
    store.SetInt("Fft", "Lfft", 2097152); // beyond the longest offered length
    store.SetInt("Fft", "Shift", -1);
    store.SetInt("Fft", "Range", 0);
    store.SetInt("Fft", "Fmin", 3000);
    store.SetInt("Fft", "Fmax", 100);
    const CSfSettings settings(store);

    EXPECT_EQ(settings.Son().Lfft, 1024);
    EXPECT_EQ(settings.Son().Lwdw, 1000);
    EXPECT_EQ(settings.Son().Shift, 1024);
    EXPECT_EQ(settings.Son().Range, 70);
    EXPECT_EQ(settings.Son().Fmin, 0.0f);
    EXPECT_EQ(settings.Son().Fmax, 8000.0f);
    EXPECT_EQ(settings.Fft().Lfft, 2048);
    EXPECT_EQ(settings.Fft().Lwdw, 2048);
    EXPECT_EQ(settings.Fft().Shift, 2048);
    EXPECT_EQ(settings.Fft().Range, 70);
    EXPECT_EQ(settings.Fft().Fmin, 0.0f);
    EXPECT_EQ(settings.Fft().Fmax, 8000.0f);

    MemoryStore extremes;
    extremes.SetInt("Son", "Lfft", 16);
    extremes.SetInt("Fft", "Lfft", 1048576);
    const CSfSettings accepted(extremes);
    EXPECT_EQ(accepted.Son().Lfft, 16);
    EXPECT_EQ(accepted.Fft().Lfft, 1048576);
}

// Each stored value no analysis can use, with the value that takes its place.
TEST(SettingsLoad, UnusableStoredValuesFallBackOneByOne) {
    struct Case {
        const char* section;
        const char* key;
        int stored;
        int (*read)(const CSfSettings&);
        int expected;
    };
    const Case cases[] = {
        {"Son", "IWin", 6, [](const CSfSettings& s) { return s.Son().IWin; }, 4},
        {"Fft", "IWin", -1, [](const CSfSettings& s) { return s.Fft().IWin; }, 4},
        {"Fft", "IWin", 5, [](const CSfSettings& s) { return s.Fft().IWin; }, 5},
        {"Fft", "Lwdw", 0, [](const CSfSettings& s) { return s.Fft().Lwdw; }, 2048},
        {"Son", "Lwdw", -3, [](const CSfSettings& s) { return s.Son().Lwdw; }, 1024},
        {"Fft", "Lwdw", 1, [](const CSfSettings& s) { return s.Fft().Lwdw; }, 1},
        {"Fft", "Method", 2, [](const CSfSettings& s) { return s.Method(); }, 0},
        {"Fft", "Method", 1, [](const CSfSettings& s) { return s.Method(); }, 1},
        {"Fft", "CepFreq", 0, [](const CSfSettings& s) { return int(s.Fft().CepFreq); }, 500},
        {"Fft", "CepFreq", 2000000, [](const CSfSettings& s) { return int(s.Fft().CepFreq); }, 500},
        {"Fft", "CepFreq", 1, [](const CSfSettings& s) { return int(s.CepFreq()); }, 1},
        {"General", "Btn", 2, [](const CSfSettings& s) { return s.Btn(); }, 0},
    };
    for (const Case& c : cases) {
        MemoryStore store;
        store.SetInt(c.section, c.key, c.stored);
        const CSfSettings settings(store);
        EXPECT_EQ(c.read(settings), c.expected) << c.section << "/" << c.key << "=" << c.stored;
    }

    MemoryStore emptyName;
    emptyName.SetString("General", "DataLogFile", "");
    EXPECT_EQ(CSfSettings(emptyName).DataLogFile(), "DataLog.txt");
}

TEST(SettingsSave, EachSectionWritesItsOwnValuesWithTheirKinds) {
    MemoryStore store;
    CSfSettings settings(store);
    settings.Son() = FftSettings{};
    settings.Son().Lfft = 4096;
    settings.Son().Lwdw = 3000;
    settings.Son().IWin = 5;
    settings.Son().Shift = 128;
    settings.Son().Floor = 55;
    settings.Son().Range = 65;
    settings.Son().Fmin = 10.0f;
    settings.Son().Fmax = 7999.9f;
    settings.SaveSon();
    EXPECT_EQ(store.Keys(), "Son/Floor Son/Fmax Son/Fmin Son/IWin Son/Lfft Son/Lwdw Son/Range "
                            "Son/Shift ");
    EXPECT_EQ(store.Number("Son", "Lfft"), 4096);
    EXPECT_EQ(store.Number("Son", "Lwdw"), 3000);
    EXPECT_EQ(store.Number("Son", "IWin"), 5);
    EXPECT_EQ(store.Number("Son", "Shift"), 128);
    EXPECT_EQ(store.Number("Son", "Floor"), 55);
    EXPECT_EQ(store.Number("Son", "Range"), 65);
    EXPECT_EQ(store.Number("Son", "Fmin"), 10);
    EXPECT_EQ(store.Number("Son", "Fmax"), 7999);

    store.Clear();
    settings.Fft().Lfft = 16384;
    settings.Fft().Fmax = 4000.0f;
    settings.Fft().CepFreq = 612.9;
    settings.SetXScale(18);
    settings.SetYScale(17);
    settings.SetMethod(1);
    settings.SaveFft();
    EXPECT_EQ(store.Keys(), "Fft/CepFreq Fft/Floor Fft/Fmax Fft/Fmin Fft/IWin Fft/Lfft Fft/Lwdw "
                            "Fft/Method Fft/Range Fft/Shift Fft/XScale Fft/YScale ");
    EXPECT_EQ(store.Number("Fft", "Lfft"), 16384);
    EXPECT_EQ(store.Number("Fft", "Lwdw"), 2048);
    EXPECT_EQ(store.Number("Fft", "Fmax"), 4000);
    EXPECT_EQ(store.Number("Fft", "CepFreq"), 612);
    EXPECT_EQ(store.Number("Fft", "XScale"), 18);
    EXPECT_EQ(store.Number("Fft", "YScale"), 17);
    EXPECT_EQ(store.Number("Fft", "Method"), 1);

    store.Clear();
    settings.SetMin(-12.25);
    settings.SetMax(100.0);
    settings.SetAuto(0);
    settings.SetScale(3);
    settings.SaveRms();
    EXPECT_EQ(store.Keys(), "Rms/Auto Rms/Max Rms/Min Rms/Scale ");
    EXPECT_EQ(store.Text("Rms", "Min"), "-12.25");
    EXPECT_EQ(store.Text("Rms", "Max"), "100");
    EXPECT_EQ(store.Number("Rms", "Auto"), 0);
    EXPECT_EQ(store.Number("Rms", "Scale"), 3);

    store.Clear();
    settings.SetBtf(442.5);
    settings.SetBtn(1);
    settings.SetDataLogFile("/home/ana/take 1, 2.txt");
    settings.SetDataLogInitDir("/home/ana/");
    settings.SetDataLogFilterNdx(4);
    settings.SaveGeneral();
    EXPECT_EQ(store.Keys(), "General/Btf General/Btn General/DataLogFile General/DataLogFilterNdx "
                            "General/DataLogInitDir ");
    EXPECT_EQ(store.Text("General", "Btf"), "442.5");
    EXPECT_EQ(store.Number("General", "Btn"), 1);
    EXPECT_EQ(store.Text("General", "DataLogFile"), "/home/ana/take 1, 2.txt");
    EXPECT_EQ(store.Text("General", "DataLogInitDir"), "/home/ana/");
    EXPECT_EQ(store.Number("General", "DataLogFilterNdx"), 4);
}

TEST(SettingsSave, FrequenciesTruncatedTowardZeroWithinIntRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<float, int> cases[] = {
        {7999.9f, 7999},   {-0.5f, 0},
        {-7.9f, -7},       {2147483520.0f, 2147483520},
        {nan, 0},          {inf, INT_MAX},
        {-inf, INT_MIN},   {1e30f, INT_MAX},
        {-1e30f, INT_MIN}, {-2147483648.0f, INT_MIN},
    };
    for (const auto& [hz, expected] : cases) {
        MemoryStore store;
        CSfSettings settings(store);
        settings.Son().Fmax = hz;
        settings.Fft().Fmin = hz;
        settings.Fft().CepFreq = hz;
        settings.SaveSon();
        settings.SaveFft();
        EXPECT_EQ(store.Number("Son", "Fmax"), expected) << hz;
        EXPECT_EQ(store.Number("Fft", "Fmin"), expected) << hz;
        EXPECT_EQ(store.Number("Fft", "CepFreq"), expected) << hz;
    }
}

TEST(SettingsSave, DecimalTextsHaveSixSignificantDigits) {
    const std::pair<double, const char*> cases[] = {
        {440.0 * std::pow(2.0, 1.0 / 12.0), "466.164"},
        {1234567.0, "1.23457e+06"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {-12.25, "-12.25"},
        {0.0, "0"},
    };
    for (const auto& [value, expected] : cases) {
        MemoryStore store;
        CSfSettings settings(store);
        settings.SetBtf(value);
        settings.SetMin(value);
        settings.SetMax(value);
        settings.SaveRms();
        settings.SaveGeneral();
        EXPECT_EQ(store.Text("General", "Btf"), expected);
        EXPECT_EQ(store.Text("Rms", "Min"), expected);
        EXPECT_EQ(store.Text("Rms", "Max"), expected);
    }
}

TEST(SettingsRoundTrip, LoadedValuesSaveBackUnchanged) {
    MemoryStore store;
    store.SetString("General", "Btf", "442.5");
    store.SetString("Rms", "Min", "-12.25");
    {
        CSfSettings settings(store);
        EXPECT_EQ(settings.Btf(), 442.5);
        EXPECT_EQ(settings.Min(), -12.25);
        settings.Fft().Fmax = 7999.9f;
        settings.SaveSon();
        settings.SaveFft();
        settings.SaveRms();
        settings.SaveGeneral();
    }
    EXPECT_EQ(store.Text("General", "Btf"), "442.5");
    EXPECT_EQ(store.Text("Rms", "Min"), "-12.25");

    const CSfSettings reloaded(store);
    EXPECT_EQ(reloaded.Btf(), 442.5);
    EXPECT_EQ(reloaded.Min(), -12.25);
    EXPECT_EQ(reloaded.Max(), 100.0);
    EXPECT_EQ(reloaded.Fft().Fmax, 7999.0f);
    EXPECT_EQ(reloaded.Son().Lfft, 1024);
    EXPECT_EQ(reloaded.DataLogInitDir(), "./");
}

// Each test gets its own empty configuration home.
class SettingsQtStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            oldHome_ = old;
        setenv("XDG_CONFIG_HOME", home_.path().toLocal8Bit().constData(), 1);
    }
    void TearDown() override {
        if (oldHome_)
            setenv("XDG_CONFIG_HOME", oldHome_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    std::filesystem::path ConfigFile() const {
        return std::filesystem::path(home_.path().toStdString()) / "TOLQ" / "Kavirel.conf";
    }
    std::string ConfigText() const {
        std::ifstream in(ConfigFile());
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void WriteConfig(const std::string& text) const {
        std::filesystem::create_directories(ConfigFile().parent_path());
        std::ofstream(ConfigFile()) << text;
    }

    QTemporaryDir home_;
    std::optional<std::string> oldHome_;
};

TEST_F(SettingsQtStore, SettingsSurviveTheFileAndAFreshStore) {
    {
        QtSettingsStore store;
        const CSfSettings first(store);
        EXPECT_EQ(first.Son().Lfft, 1024);
        EXPECT_EQ(first.DataLogInitDir(), "./");
    }
    EXPECT_FALSE(std::filesystem::exists(ConfigFile())) << "loading alone writes nothing";

    QtSettingsStore store;
    CSfSettings settings(store);
    settings.Son().Lfft = 512;
    settings.Son().Lwdw = 512;
    settings.Fft().Fmax = 7999.9f;
    settings.Fft().CepFreq = 250.0;
    settings.SetXScale(18);
    settings.SetMethod(1);
    settings.SetMin(-12.25);
    settings.SetAuto(0);
    settings.SetBtf(442.5);
    settings.SetBtn(1);
    settings.SetDataLogFile("/home/ana/take 1, 2.txt");
    settings.SetDataLogInitDir("/home/ana/");
    settings.SetDataLogFilterNdx(3);
    settings.SaveSon();
    settings.SaveFft();
    settings.SaveRms();
    settings.SaveGeneral();
    store.Sync();

    ASSERT_TRUE(std::filesystem::exists(ConfigFile()));
    const std::string text = ConfigText();
    EXPECT_NE(text.find("[Son]"), std::string::npos) << text;
    EXPECT_NE(text.find("Fmax=7999\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Btf=442.5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Min=-12.25\n"), std::string::npos) << text;

    QtSettingsStore fresh;
    const CSfSettings reloaded(fresh);
    EXPECT_EQ(reloaded.Son().Lfft, 512);
    EXPECT_EQ(reloaded.Son().Lwdw, 512);
    EXPECT_EQ(reloaded.Son().Shift, 1024);
    EXPECT_EQ(reloaded.Fft().Fmax, 7999.0f);
    EXPECT_EQ(reloaded.Fft().CepFreq, 250.0);
    EXPECT_EQ(reloaded.XScale(), 18u);
    EXPECT_EQ(reloaded.YScale(), 18u);
    EXPECT_EQ(reloaded.Method(), 1);
    EXPECT_EQ(reloaded.Min(), -12.25);
    EXPECT_EQ(reloaded.Max(), 100.0);
    EXPECT_EQ(reloaded.Auto(), 0);
    EXPECT_EQ(reloaded.Btf(), 442.5);
    EXPECT_EQ(reloaded.Btn(), 1);
    EXPECT_EQ(reloaded.DataLogFile(), "/home/ana/take 1, 2.txt");
    EXPECT_EQ(reloaded.DataLogInitDir(), "/home/ana/");
    EXPECT_EQ(reloaded.DataLogFilterNdx(), 3);
}

TEST_F(SettingsQtStore, EmptySectionIsKeptApartFromEverySection) {
    {
        QtSettingsStore store;
        store.SetString("", "FOInitialDir", "/music/");
        store.SetString("General", "FOInitialDir", "/speech/");
        store.SetInt("", "FOFilterIndex", 2);
    }
    QtSettingsStore fresh;
    EXPECT_EQ(fresh.GetString("", "FOInitialDir", "-"), "/music/");
    EXPECT_EQ(fresh.GetString("General", "FOInitialDir", "-"), "/speech/");
    EXPECT_EQ(fresh.GetInt("", "FOFilterIndex", 0), 2);
    EXPECT_EQ(fresh.GetInt("General", "FOFilterIndex", 0), 0);
}

TEST_F(SettingsQtStore, HandEditedFileReadsSafely) {
    WriteConfig("[Son]\n"
                "Lfft=abc\n"
                "Lwdw=512\n"
                "IWin=2.5\n"
                "Floor=abc\n"
                "Range=99999999999\n"
                "[Fft]\n"
                "Lfft=1, 2\n"
                "[%General]\n"
                "DataLogFile=/home/ana/take 1, 2.txt\n"
                "Btf=x\n");
    QtSettingsStore store;
    EXPECT_EQ(store.GetString("General", "DataLogFile", ""), "/home/ana/take 1, 2.txt");

    const CSfSettings settings(store);
    EXPECT_EQ(settings.Son().Lfft, 1024);
    EXPECT_EQ(settings.Son().Lwdw, 512);
    EXPECT_EQ(settings.Son().IWin, 4);
    EXPECT_EQ(settings.Son().Floor, 70);
    EXPECT_EQ(settings.Son().Range, 70);
    EXPECT_EQ(settings.Fft().Lfft, 2048);
    EXPECT_EQ(settings.Btf(), 440.0);
    EXPECT_EQ(settings.DataLogFile(), "/home/ana/take 1, 2.txt");

    // A hand-written "[General]", as people write it, reads like Qt's "[%General]".
    WriteConfig("[General]\nBtf=442\nBtn=1\n");
    QtSettingsStore handWritten;
    const CSfSettings general(handWritten);
    EXPECT_EQ(general.Btf(), 442.0);
    EXPECT_EQ(general.Btn(), 1);
}

} // namespace

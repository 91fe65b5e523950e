// The overview cache under hostile conditions: files that are not caches at
// the cache path, caches that belong to another file or another state of this
// one, special files, leftovers, and the cache folder it falls back to.
#include "support/TestFiles.h"

#include "soundfile/OpenHead.h"
#include "soundfile/Overview.h"
#include "soundfile/OverviewCache.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"
#include "soundfile/TolqDsp.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class OverviewCache : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CACHE_HOME", cacheHome.Path().c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_CACHE_HOME"); }

    // Opens path; true when the overview came from a cache.
    std::unique_ptr<CSfHead> Open(const std::string& path, bool* fromCache = nullptr) {
        desktop = RecordingDesktop{};
        auto head = OpenHeadFile(path, desktop, screenWidth);
        if (fromCache)
            *fromCache = head && desktop.infoTexts.empty();
        return head;
    }

    bool FromCache(const std::string& path) {
        bool cached = false;
        EXPECT_TRUE(Open(path, &cached)) << path;
        return cached;
    }

    std::vector<float> Computed(const std::string& path) {
        auto head = Open(path);
        EXPECT_TRUE(head) << path;
        return head ? head->Info().overview : std::vector<float>();
    }

    TempDir dir;
    TempDir cacheHome;
    RecordingDesktop desktop;
    int screenWidth = 8;
};

constexpr time_t kTime = 1700000000;
constexpr long kNanoseconds = 500;

Bytes Tone(int frames, int step, int channels = 1) {
    std::vector<int32_t> v;
    for (int i = 0; i < frames * channels; ++i)
        v.push_back((i * step) % 2000 - 1000);
    WavSpec layout;
    layout.channels = uint16_t(channels);
    return MakeWav(layout, PcmBytes(v, 2));
}

void Rewrite(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void SetTimes(const std::string& path, time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

} // namespace

TEST_F(OverviewCache, NeverWritesOverAFileThatIsNotACache) {
    const Bytes checksums = {'a', 'b',  'c', ' ', ' ', 'a', 'l', 'b', 'u', 'm', '.', 'w', 'a',
                             'v', '\n', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    const struct {
        const char* sound; // file name of the sound file
        std::function<void(const std::string& cachePath)> occupy;
    } cases[] = {
        // A sound file whose own name is the cache name.
        {"song.sfv", [](const std::string&) {}},
        // A checksum list that happens to share the cache name.
        {"album.wav", [&](const std::string& p) { Rewrite(p, checksums); }},
        // One that even begins like a cache, with a plausible width word.
        {"demo.wav",
         [](const std::string& p) {
             const std::string text = "SFV1_01_demo.wav 1a2b3c4d\n";
             Rewrite(p, Bytes(text.begin(), text.end()));
         }},
        {"pipe.wav", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"link.wav", [](const std::string& p) { ASSERT_EQ(::symlink("link.wav", p.c_str()), 0); }},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Write(c.sound, Tone(400, 37));
        const std::string beside = OverviewCachePath(path);
        c.occupy(beside);
        const fs::file_status before = fs::symlink_status(beside);
        const Bytes besideBytes = fs::is_regular_file(before) ? ReadFileBytes(beside) : Bytes();
        const Bytes soundBytes = ReadFileBytes(path);

        const std::vector<float> computed = Computed(path);
        EXPECT_FALSE(desktop.infoTexts.empty()) << c.sound;
        // The user's file is as it was; the cache went to the cache folder.
        EXPECT_EQ(ReadFileBytes(path), soundBytes) << c.sound;
        EXPECT_EQ(fs::symlink_status(beside).type(), before.type()) << c.sound;
        if (fs::is_regular_file(before)) {
            EXPECT_EQ(ReadFileBytes(beside), besideBytes) << c.sound;
        }
        const std::string fallback = FallbackCachePath(path);
        EXPECT_EQ(fallback.rfind(cacheHome.Path() + "/TOLQ/Kavirel/", 0), 0u) << fallback;
        EXPECT_EQ(ReadFileBytes(fallback).size(), 24u + 32u * 4u) << c.sound;

        // Reopened, it reads the cache folder; a method change goes there too.
        auto again = Open(path);
        ASSERT_TRUE(again) << c.sound;
        EXPECT_TRUE(desktop.infoTexts.empty()) << c.sound;
        EXPECT_EQ(again->Info().overview, computed) << c.sound;
        again->Info().overviewMethod = kOverviewRms;
        SaveOverviewMethod(again->Info());
        EXPECT_EQ(ReadFileBytes(path), soundBytes) << c.sound;
        if (fs::is_regular_file(before)) {
            EXPECT_EQ(ReadFileBytes(beside), besideBytes) << c.sound;
        }
        EXPECT_EQ(ReadFileBytes(fallback)[12], 0x1A) << c.sound; // 32794
    }
}

TEST_F(OverviewCache, ForeignAndStaleCachesAreRebuilt) {
    using Mutation = std::function<void(const std::string& sound, const std::string& cache)>;
    auto flip = [](size_t at, uint8_t mask) {
        return [at, mask](const std::string&, const std::string& cache) {
            Bytes b = ReadFileBytes(cache);
            b[at] ^= mask;
            Rewrite(cache, b);
        };
    };
    const size_t payload = 24;
    const struct {
        const char* what;
        Mutation mutate;
    } cases[] = {
        {"first column flipped", flip(payload + 1, 0x01)},
        {"last level block flipped", flip(payload + 4 * 31, 0x01)},
        {"middle value made fractional", flip(payload + 4 * 6, 0x01)},
        {"middle level out of range", flip(payload + 4 * 20 + 3, 0x20)},
        {"one value too many",
         [](const std::string&, const std::string& cache) {
             Bytes b = ReadFileBytes(cache);
             AppendLe32(b, 0);
             Rewrite(cache, b);
         }},
        // Rewritten within the same second as its cache was made.
        {"rewritten in the same second",
         [](const std::string& sound, const std::string&) {
             Bytes b = ReadFileBytes(sound);
             b[44 + 2 * 200] ^= 0x7F; // a frame in the middle
             Rewrite(sound, b);
             SetTimes(sound, kTime, kNanoseconds + 1);
         }},
        // rec.001 and rec.002, a.wav and a.WAV: one cache name, two files of
        // the same size, time and header.
        {"another file's cache",
         [](const std::string& sound, const std::string&) {
             Rewrite(sound, Tone(400, 91));
             SetTimes(sound, kTime, kNanoseconds);
         }},
        // A mono file with a stereo file's cache of the same time and offset.
        {"a stereo file's cache",
         [this](const std::string& sound, const std::string& cache) {
             const std::string stereo = sound + ".st.wav";
             Rewrite(stereo, Tone(200, 37, 2));
             SetTimes(stereo, kTime, kNanoseconds);
             RecordingDesktop quiet;
             ASSERT_TRUE(OpenHeadFile(stereo, quiet, screenWidth));
             fs::copy_file(OverviewCachePath(stereo), cache, fs::copy_options::overwrite_existing);
             SetTimes(cache, kTime + 5, 0);
         }},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Write("rec.wav", Tone(400, 37));
        SetTimes(path, kTime, kNanoseconds);
        const std::string cache = OverviewCachePath(path);
        // A damaged cache is no longer ours: the rebuilt one then goes to
        // the cache folder, which an earlier case may have filled.
        fs::remove(cache);
        fs::remove(FallbackCachePath(path));
        Computed(path);
        ASSERT_TRUE(FromCache(path)) << c.what;
        c.mutate(path, cache);
        const std::vector<float> reopened = Computed(path);
        EXPECT_FALSE(desktop.infoTexts.empty()) << c.what;
        // The rebuilt overview is the file's own, and its cache loads.
        fs::remove(cache);
        EXPECT_EQ(reopened, Computed(path)) << c.what;
        EXPECT_TRUE(FromCache(path)) << c.what;
    }
}

TEST_F(OverviewCache, AFileChangedWhileItsOverviewIsComputedIsNotTrusted) {
    // The user's editor writes into the recording while the overview is read:
    // a loud frame in a column already read, neither the first nor the last.
    struct Editing : RecordingDesktop {
        std::string path;
        void SetInfoText(const std::string& text) override {
            RecordingDesktop::SetInfoText(text);
            if (text != "Prepare Wav 50%")
                return;
            const int fd = ::open(path.c_str(), O_WRONLY);
            const uint8_t loud[2] = {0xFF, 0x7F};
            EXPECT_EQ(::pwrite(fd, loud, 2, 44 + 2 * 60), 2);
            ::close(fd);
        }
    } editing;
    editing.path = dir.Write("edit.wav", Tone(400, 37));
    SetTimes(editing.path, kTime, kNanoseconds);
    ASSERT_TRUE(OpenHeadFile(editing.path, editing, screenWidth));
    auto again = Open(editing.path);
    ASSERT_TRUE(again);
    EXPECT_FALSE(desktop.infoTexts.empty());
    EXPECT_EQ(again->Info().overview[2], 32767.0f);
}

TEST_F(OverviewCache, OnlyProvableLeftoversOfOursAreRemoved) {
    const std::string path = dir.Write("t.wav", Tone(400, 37));
    Bytes header = {'S', 'F', 'V', '1'};
    AppendLe32(header, 0);
    AppendLe32(header, 32);
    header.resize(100, 0);
    const time_t old = std::time(nullptr) - 2 * 3600;
    SetTimes(dir.Write(".t.sfv.kavirel-Ab12Cd", header), old, 0); // left by a killed run
    dir.Write(".t.sfv.kavirel-Xy34Zw", header);                   // a write that may still run
    SetTimes(dir.Write(".t.sfv.kavirel-notes1", Bytes{'n', 'o', 't', 'e', 's'}), old, 0);
    dir.Write(".t.sfv.kavirel-notes", Bytes(3, 1));  // not our naming
    dir.Write(".u.sfv.kavirel-Ab12Cd", Bytes(3, 1)); // another cache's, kept till it is written
    ASSERT_TRUE(Open(path));
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".t.sfv.kavirel-Xy34Zw", ".t.sfv.kavirel-notes",
                                               ".t.sfv.kavirel-notes1", ".u.sfv.kavirel-Ab12Cd",
                                               "t.sfv", "t.wav"}));
}

TEST_F(OverviewCache, FilesOfOneStemNeverShareACache) {
    // x.wav, x.WAV and x: the same size, time and header, other sound.
    const struct {
        const char* name;
        int step;
    } files[] = {{"x.wav", 37}, {"x.WAV", 91}, {"x", 53}};
    std::vector<std::vector<float>> own;
    for (const auto& f : files) {
        const std::string path = dir.Write(f.name, Tone(400, f.step));
        SetTimes(path, kTime, kNanoseconds);
    }
    for (const auto& f : files)
        own.push_back(Computed(dir.Path() + "/" + f.name));
    for (size_t i = 0; i < std::size(files); ++i) {
        const std::string path = dir.Path() + "/" + files[i].name;
        bool cached = false;
        auto head = Open(path, &cached);
        ASSERT_TRUE(head);
        EXPECT_TRUE(cached) << files[i].name;
        EXPECT_EQ(head->Info().overview, own[i]) << files[i].name;
    }
    EXPECT_NE(own[0], own[1]);
    EXPECT_FALSE(fs::exists(dir.Path() + "/x.sfv"));
}

TEST_F(OverviewCache, ACacheMadeInTheSecondOfAWholeSecondChangeIsRecomputed) {
    // A file system that keeps whole seconds: take.wav is replaced by other
    // sound of the same size within the second its cache was made.
    const time_t second = std::time(nullptr) + 100;
    const std::string path = dir.Write("take.wav", Tone(400, 37));
    SetTimes(path, second, 0);
    Computed(path);
    Rewrite(path, Tone(400, 91));
    SetTimes(path, second, 0);
    const std::vector<float> reopened = Computed(path);
    EXPECT_FALSE(desktop.infoTexts.empty());
    fs::remove(OverviewCachePath(path));
    EXPECT_EQ(reopened, Computed(path));
}

TEST_F(OverviewCache, AnotherUsersCacheIsNeverTrusted) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a cache to another user";
    const std::string path = dir.Write("shared.wav", Tone(400, 37));
    SetTimes(path, kTime, kNanoseconds);
    const std::vector<float> computed = Computed(path);
    // nobody forges the peaks of the cache and keeps its time.
    const std::string cache = OverviewCachePath(path);
    Bytes forged = ReadFileBytes(cache);
    forged[24] ^= 0x40;
    Rewrite(cache, forged);
    SetTimes(cache, kTime, kNanoseconds);
    ASSERT_EQ(::chown(cache.c_str(), 65534, 65534), 0);
    EXPECT_EQ(Computed(path), computed);
    EXPECT_FALSE(desktop.infoTexts.empty());
    EXPECT_EQ(ReadFileBytes(cache), forged);
}

TEST_F(OverviewCache, AFolderThatCannotBeWrittenKeepsItsCacheInTheCacheFolder) {
    const std::string path = dir.Write("ro.wav", Tone(400, 37));
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
    if (::access(dir.Path().c_str(), W_OK) == 0) {
        ::chmod(dir.Path().c_str(), 0755);
        GTEST_SKIP() << "this user may write any folder";
    }
    const std::vector<float> computed = Computed(path);
    bool cached = false;
    auto again = Open(path, &cached);
    ::chmod(dir.Path().c_str(), 0755);
    EXPECT_TRUE(cached);
    EXPECT_FALSE(fs::exists(OverviewCachePath(path)));
    EXPECT_TRUE(fs::exists(FallbackCachePath(path)));
}

TEST_F(OverviewCache, LongColumnsAreReadInPiecesAndAbsurdSizesRefused) {
    // One column of a 3 MB 8-bit file at width 1 spans several reads; its
    // extremes lie in different pieces.
    std::vector<int32_t> v(3 * 1024 * 1024 + 5, 0);
    v[7] = -128;
    v[2 * 1024 * 1024 + 3] = 127;
    for (size_t i = 100; i < v.size(); i += 4099)
        v[i] = 64;
    WavSpec layout;
    layout.bytesPerSample = 1;
    const std::string path = dir.Write("long.wav", MakeWav(layout, PcmBytes(v, 1)));
    screenWidth = 1;
    auto head = Open(path);
    ASSERT_TRUE(head);
    const std::vector<float>& o = head->Info().overview;
    ASSERT_EQ(o.size(), 4u);
    EXPECT_EQ(o[0], -128.0f);
    EXPECT_EQ(o[1], 127.0f);
    for (int k = 0; k < 2; ++k) {
        long double s = 0;
        const size_t half = v.size() / 2;
        for (size_t i = size_t(k) * half; i < size_t(k + 1) * half; ++i)
            s += (long double)v[i] * v[i];
        EXPECT_NEAR(o[size_t(2 + k)], double(10 * std::log10(s / half)), 1e-4) << k;
    }

    // Too wide a screen, or too many channels for the width: refused, said why.
    screenWidth = kMaxOverviewWidth + 1;
    EXPECT_FALSE(Open(path));
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].first,
              "An overview 16385 pixels wide cannot be drawn: the width must lie between 1 and "
              "16384.");
    screenWidth = 4097;
    desktop = RecordingDesktop{};
    desktop.answerRaw = true;
    desktop.rawAnswer = RawFormat{8000, 1024, 1, 0, false};
    const std::string many = dir.Write("many.raw", Bytes(1024 * 4, 0));
    EXPECT_FALSE(OpenHeadFile(many, desktop, screenWidth));
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].first,
              "The overview of 1024 channels at a screen width of 4097 pixels would take 65 MB, "
              "more than the 64 MB an overview may take.");
    EXPECT_FALSE(fs::exists(OverviewCachePath(many)));
}

// Real sound through PortAudio: a private PulseAudio server plays into a null
// sink whose monitor is recorded, and the recording must be the file. Also,
// probing for devices keeps the terminal clean.
#include "PlayTestSupport.h"
#include "PulseServer.h"
#include "playback/CSfPlay.h"
#include "playback/PortAudioOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uint32_t kFrames = 44100; // one second

// Passes everything to the real service and notes when the first block of
// the last opened device was queued.
class TimedOutput : public OutputService {
public:
    explicit TimedOutput(OutputService& inner) : inner_(inner) {}

    int DeviceCount() override { return inner_.DeviceCount(); }
    bool Capabilities(int id, OutputCaps& caps) override { return inner_.Capabilities(id, caps); }
    std::string ErrorText(int error) override { return inner_.ErrorText(error); }
    std::unique_ptr<OutputDevice> Open(int id, const PcmFormat& format, OutputCallbacks callbacks,
                                       int* error) override {
        std::unique_ptr<OutputDevice> device = inner_.Open(id, format, std::move(callbacks), error);
        if (!device)
            return nullptr;
        return std::make_unique<Device>(std::move(device), *this);
    }

    Clock::time_point FirstQueue() {
        std::lock_guard<std::mutex> lock(mutex_);
        return firstQueue_;
    }

private:
    class Device : public OutputDevice {
    public:
        Device(std::unique_ptr<OutputDevice> inner, TimedOutput& owner)
            : inner_(std::move(inner)), owner_(owner) {}
        int Queue(const uint8_t* data, size_t bytes) override {
            if (!queued_) {
                std::lock_guard<std::mutex> lock(owner_.mutex_);
                owner_.firstQueue_ = Clock::now();
                queued_ = true;
            }
            return inner_->Queue(data, bytes);
        }
        int Reset() override { return inner_->Reset(); }
        int Close() override { return inner_->Close(); }
        int64_t Position() override { return inner_->Position(); }

    private:
        std::unique_ptr<OutputDevice> inner_;
        TimedOutput& owner_;
        bool queued_ = false;
    };

    OutputService& inner_;
    std::mutex mutex_;
    Clock::time_point firstQueue_;
};

// Noise at about a third of full scale: every lag looks different, so the
// correlation has one clear peak.
std::vector<int32_t> Noise(size_t count, int bytesPerSample, uint32_t seed) {
    const double full = double(int64_t(1) << (8 * bytesPerSample - 1));
    std::vector<int32_t> values = TestSignal(count, bytesPerSample, seed);
    for (int32_t& v : values)
        v = int32_t(std::lround(v * 0.3 * (full - 1) / full));
    return values;
}

struct ChannelMatch {
    double correlation = 0.0;  // normalised, at the best lag
    double otherChannel = 0.0; // the same against the other channel's sound
    double levelDb = 0.0;      // recording over file
    double tailDb = 0.0;       // the same over the last 50 ms
};

// The frame of a 16-bit stereo recording where the sound arrives: the monitor
// is silent until then.
size_t OnsetFrame(const Bytes& raw) {
    const size_t frames = raw.size() / 4;
    size_t onset = 0;
    while (onset < frames && std::abs(int16_t(raw[4 * onset] | raw[4 * onset + 1] << 8)) < 64)
        ++onset;
    return onset;
}

// The lag search looks this far either side of the onset.
constexpr size_t kLagSearch = 200;

double Energy(const std::vector<double>& x, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += x[i] * x[i];
    return sum;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    double cross = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        cross += a[i] * b[i];
    return cross / std::sqrt(Energy(a, 0, a.size()) * Energy(b, 0, b.size()));
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        server = std::make_unique<PulseServer>();
        ASSERT_TRUE(server->Problem().empty()) << server->Problem();
    }

    // Plays the whole file and compares each recorded channel with expected
    // (16-bit scale, one array per sink channel), all at one lag.
    std::vector<ChannelMatch> PlayAndCompare(const OpenedSound& sound,
                                             const std::vector<std::vector<double>>& expected,
                                             bool convert8) {
        const std::string recording = dir.Path() + "/recording.raw";
        ChildProcess recorder = server->Record(recording);
        EXPECT_TRUE(recorder.Started());
        // An idle null sink wakes up only every two seconds; once the
        // recording flows, the sink runs at the recorder's short latency and a
        // new playback starts at once.
        const Clock::time_point waitUntil = Clock::now() + 10s;
        while (ReadFileBytes(recording).empty() && Clock::now() < waitUntil)
            std::this_thread::sleep_for(10ms);

        PortAudioOutput portAudio;
        TimedOutput output(portAudio);
        MemoryStore store;
        RecordingDesktop desktop;
        PlaySettings settings;
        settings.EightBitSigned = convert8 ? 1 : 0;
        SavePlaySettings(store, settings);
        CSfPlay player(output, store, desktop);
        auto window = std::make_shared<RecordingWindow>();

        const Clock::time_point start = Clock::now();
        const bool started =
            player.PlayRange(sound.Info(), 0, kFrames, window, {}, false) == PlayOutcome::Started;
        EXPECT_TRUE(started) << (desktop.messages.empty() ? "" : desktop.messages[0].first);
        if (!started)
            return {};
        EXPECT_TRUE(WaitIdle(player, 20000ms));
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double latencyMs =
            std::chrono::duration<double, std::milli>(output.FirstQueue() - start).count();
        // The recorder gets the end of the sound after the player has let go.
        const Clock::time_point recordedBy = Clock::now() + 10s;
        while (!HoldsWholeSound(ReadFileBytes(recording)) && Clock::now() < recordedBy)
            std::this_thread::sleep_for(10ms);
        recorder.Stop();

        std::cout << "PlayRange to first block queued: " << latencyMs << " ms; played for " << wall
                  << " s\n";
        RecordProperty("latency_ms", std::to_string(latencyMs));
        EXPECT_LT(latencyMs, 2000.0);
        // Blocks count as done when heard: playback cannot end before the
        // second of sound has gone through the card.
        EXPECT_GE(wall, 0.95);
        const Codes codes = window->Codes();
        EXPECT_EQ(codes.front(), kPlayStarting);
        EXPECT_EQ(codes.back(), kPlayClosed);
        EXPECT_NEAR(window->All().back().point.position, 1.0, 1e-9);
        return Compare(ReadFileBytes(recording), expected);
    }

    static bool HoldsWholeSound(const Bytes& raw) {
        const size_t onset = OnsetFrame(raw);
        return onset < raw.size() / 4 && raw.size() / 4 >= onset + kLagSearch + kFrames;
    }

    static std::vector<ChannelMatch> Compare(const Bytes& raw,
                                             const std::vector<std::vector<double>>& expected) {
        const size_t frames = raw.size() / 4;
        std::vector<std::vector<double>> got(2, std::vector<double>(frames));
        for (size_t i = 0; i < frames; ++i) {
            for (size_t c = 0; c < 2; ++c)
                got[c][i] = int16_t(raw[4 * i + 2 * c] | raw[4 * i + 2 * c + 1] << 8);
        }
        const size_t n = expected[0].size();
        if (frames < n)
            return {};
        const size_t onset = OnsetFrame(raw);
        const size_t first = onset > kLagSearch ? onset - kLagSearch : 0;
        const size_t last = std::min(onset + kLagSearch, frames - n);
        size_t lag = first;
        double best = -1e300;
        for (size_t l = first; l <= last; ++l) {
            double sum = 0.0;
            for (size_t i = 0; i < n; ++i)
                sum += expected[0][i] * got[0][l + i];
            if (sum > best) {
                best = sum;
                lag = l;
            }
        }
        std::vector<ChannelMatch> matches;
        for (size_t c = 0; c < 2; ++c) {
            const std::vector<double> heard(got[c].begin() + long(lag),
                                            got[c].begin() + long(lag + n));
            const size_t tail = n - 2205;
            ChannelMatch m;
            m.correlation = Correlation(expected[c], heard);
            m.otherChannel = Correlation(expected[1 - c], heard);
            m.levelDb = 10.0 * std::log10(Energy(heard, 0, n) / Energy(expected[c], 0, n));
            m.tailDb = 10.0 * std::log10(Energy(heard, tail, n) / Energy(expected[c], tail, n));
            std::cout << "channel " << c << ": correlation " << m.correlation << ", level "
                      << m.levelDb << " dB, last 50 ms " << m.tailDb << " dB\n";
            matches.push_back(m);
        }
        return matches;
    }

    static void ExpectMatches(const std::vector<ChannelMatch>& matches) {
        ASSERT_EQ(matches.size(), 2u) << "the recording is shorter than the sound";
        for (const ChannelMatch& m : matches) {
            EXPECT_GT(m.correlation, 0.99);
            EXPECT_NEAR(m.levelDb, 0.0, 0.5);
            EXPECT_NEAR(m.tailDb, 0.0, 0.5);
        }
    }

    using Codes = std::vector<int>;
    TempDir dir;
    std::unique_ptr<PulseServer> server;
};

TEST_F(EndToEnd, Mono16BitWavPlaysOnBothChannels) {
    const std::vector<int32_t> values = Noise(kFrames, 2, 11);
    WavSpec layout;
    OpenedSound sound(dir, "mono16.wav", MakeWav(layout, PcmBytes(values, 2)));
    const std::vector<double> x(values.begin(), values.end());
    ExpectMatches(PlayAndCompare(sound, {x, x}, false));
}

TEST_F(EndToEnd, Stereo24BitBigEndianAiffKeepsItsChannelsApart) {
    const std::vector<int32_t> values = Noise(2 * kFrames, 3, 12);
    OpenedSound sound(dir, "stereo24.aif",
                      MakeAiff(2, 24, 0x400E, 0xAC44, PcmBytes(values, 3, true)));
    std::vector<std::vector<double>> x(2, std::vector<double>(kFrames));
    for (size_t i = 0; i < kFrames; ++i) {
        x[0][i] = values[2 * i] / 256.0;
        x[1][i] = values[2 * i + 1] / 256.0;
    }
    const std::vector<ChannelMatch> matches = PlayAndCompare(sound, x, false);
    ExpectMatches(matches);
    // Swapped or mixed channels would carry the other channel's noise.
    for (const ChannelMatch& m : matches)
        EXPECT_LT(std::fabs(m.otherChannel), 0.1);
}

TEST_F(EndToEnd, EightBitWavConvertedTo16Bits) {
    const std::vector<int32_t> values = Noise(kFrames, 1, 13);
    WavSpec layout;
    layout.bytesPerSample = 1;
    OpenedSound sound(dir, "mono8.wav", MakeWav(layout, PcmBytes(values, 1)));
    std::vector<double> x(kFrames);
    for (size_t i = 0; i < kFrames; ++i)
        x[i] = values[i] * 256.0;
    ExpectMatches(PlayAndCompare(sound, {x, x}, true));
}

// Standard error goes to a file while the object is alive.
class CapturedStderr {
public:
    explicit CapturedStderr(const std::string& path) : saved_(::dup(STDERR_FILENO)) {
        std::fflush(stderr);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
    ~CapturedStderr() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }

private:
    int saved_;
};

// Sets environment variables for the lifetime of the object.
class ScopedEnvironment {
public:
    void Set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(PortAudioProbe, WritesNothingOnStandardErrorWithoutAServer) {
    TempDir dir;
    ScopedEnvironment env;
    const std::string client = dir.Write(
        "client.conf", Bytes{'a', 'u', 't', 'o', 's', 'p', 'a', 'w', 'n', '=', 'n', 'o', '\n'});
    env.Set("PULSE_CLIENTCONFIG", client);
    env.Set("PULSE_SERVER", "unix:" + dir.Path() + "/none");
    const std::string log = dir.Path() + "/stderr.txt";
    std::vector<std::string> names;
    {
        CapturedStderr captured(log);
        PortAudioOutput output;
        MemoryStore store;
        RecordingDesktop desktop;
        CSfPlay player(output, store, desktop);
        names = player.DeviceNames();
        if (output.DeviceCount() == 0)
            EXPECT_EQ(names, std::vector<std::string>{"no device driver installed"});
        else
            EXPECT_EQ(names.size(), size_t(output.DeviceCount() + 1));
    }
    const Bytes written = ReadFileBytes(log);
    EXPECT_TRUE(written.empty()) << std::string(written.begin(), written.end());
}

} // namespace

// A private PulseAudio server for the end-to-end tests: started in a fresh
// runtime directory with one null sink, whose monitor source records what is
// played. This process is pointed at it for as long as the object lives; the
// server is stopped and the directory removed with it.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

class ChildProcess {
public:
    // Runs argv[0] from PATH with extra "NAME=value" environment entries and
    // standard output and error going to the given files.
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                 const std::string& outPath, const std::string& errPath);
    ~ChildProcess(); // Stop()
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    bool Running();
    // SIGTERM, then SIGKILL when it has not ended within two seconds.
    void Stop();

private:
    pid_t pid_ = -1;
};

class PulseServer {
public:
    static constexpr const char* kSink = "kavirel_test";

    PulseServer();
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Empty when the server answers; else why not, with its log.
    const std::string& Problem() const { return problem_; }
    const std::string& Dir() const { return dir_; }
    // Records the sink's monitor as raw 16-bit little-endian stereo at 44.1 kHz.
    ChildProcess Record(const std::string& path) const;

private:
    std::vector<std::string> Environment() const;
    void PointThisProcessAtServer();
    void RestoreEnvironment();

    std::string dir_;
    std::string problem_;
    std::unique_ptr<ChildProcess> server_;
    std::vector<std::pair<std::string, std::string>> savedEnv_;
    std::vector<std::string> clearedEnv_;
};

#include "PulseServer.h"

#include "support/TestFiles.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;

const char* const kClientVariables[] = {"PULSE_SERVER", "PULSE_CLIENTCONFIG", "XDG_RUNTIME_DIR",
                                        "PULSE_SINK"};

bool CanConnect(const std::string& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& env, const std::string& outPath,
                           const std::string& errPath) {
    std::vector<std::string> environment = env;
    for (char** e = environ; *e; ++e)
        environment.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = argv;
    std::vector<char*> argp;
    for (std::string& a : args)
        argp.push_back(a.data());
    argp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid;
    if (posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) == 0)
        pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    Stop();
}

bool ChildProcess::Running() {
    if (pid_ <= 0)
        return false;
    int status;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

void ChildProcess::Stop() {
    if (!Running())
        return;
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (Running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    if (Running()) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

PulseServer::PulseServer() {
    TempDir scratch; // only for a unique name beside it
    dir_ = scratch.Path() + "-pulse";
    // The server refuses a runtime directory that others may read.
    if (::mkdir(dir_.c_str(), 0700) != 0) {
        problem_ = "cannot make " + dir_;
        return;
    }
    std::ofstream(dir_ + "/client.conf") << "autospawn = no\n";

    // Started by root, the server needs no default script and its modules
    // named: the socket clients connect to, the sink, and a sink kept loaded.
    // A sink that rewinds to mix in a new stream sooner has already given
    // the monitor the silence it rewrites: the recording would lose the
    // first milliseconds of every playback.
    const std::string socketPath = dir_ + "/native";
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                 "--use-pid-file=no", "--log-target=stderr", "--disallow-exit",
                                 "--load=module-native-protocol-unix auth-anonymous=1 socket=" +
                                     socketPath,
                                 std::string("--load=module-null-sink sink_name=") + kSink +
                                     " rate=44100 channels=2 format=s16le norewinds=1",
                                 "--load=module-always-sink"},
        Environment(), dir_ + "/server.out", dir_ + "/server.log");
    if (!server_->Started()) {
        problem_ = "pulseaudio cannot be started (is it installed?)";
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!CanConnect(socketPath)) {
        if (!server_->Running() || std::chrono::steady_clock::now() > deadline) {
            problem_ = "pulseaudio does not answer:\n" + FileText(dir_ + "/server.log");
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
    PointThisProcessAtServer();
}

PulseServer::~PulseServer() {
    RestoreEnvironment();
    server_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::vector<std::string> PulseServer::Environment() const {
    return {"HOME=" + dir_,
            "XDG_RUNTIME_DIR=" + dir_,
            "XDG_CONFIG_HOME=" + dir_ + "/config",
            "PULSE_STATE_PATH=" + dir_ + "/state",
            "PULSE_RUNTIME_PATH=" + dir_ + "/runtime",
            "PULSE_SERVER=unix:" + dir_ + "/native",
            "PULSE_CLIENTCONFIG=" + dir_ + "/client.conf"};
}

void PulseServer::PointThisProcessAtServer() {
    for (const char* name : kClientVariables) {
        if (const char* value = std::getenv(name))
            savedEnv_.emplace_back(name, value);
        else
            clearedEnv_.emplace_back(name);
    }
    ::setenv("PULSE_SERVER", ("unix:" + dir_ + "/native").c_str(), 1);
    ::setenv("PULSE_CLIENTCONFIG", (dir_ + "/client.conf").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    ::setenv("PULSE_SINK", kSink, 1);
}

void PulseServer::RestoreEnvironment() {
    for (const auto& [name, value] : savedEnv_)
        ::setenv(name.c_str(), value.c_str(), 1);
    for (const std::string& name : clearedEnv_)
        ::unsetenv(name.c_str());
}

ChildProcess PulseServer::Record(const std::string& path) const {
    std::vector<std::string> env = Environment();
    return ChildProcess({"parec", "--device=" + std::string(kSink) + ".monitor", "--raw",
                         "--format=s16le", "--rate=44100", "--channels=2", "--latency-msec=20"},
                        env, path, dir_ + "/parec.log");
}

// ServerProcess: starting, pausing and stopping zrtserver, its configuration and its log, and
// the operator's command line.
#include "tests/support/server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "lobby/net/request_code.h"
#include "tests/support/raw_peer.h"
#include "tests/support/wait_until.h"

namespace zrttest {

namespace fs = std::filesystem;
// Long enough for a server in another namespace, or on a machine busy with other builds.
constexpr int kStartMs = 30000;
constexpr int kStopMs = 10000;

std::string testConfig(const std::string& extra) {
    // TOML takes each table once, so the extra lines are merged into the base's tables; a key
    // given in both keeps the extra value. Arrays of tables ([[hall]]) follow as they are.
    std::vector<std::pair<std::string, std::vector<std::string>>> tables = {
        {"accounts",
         {"password_hash = \"min\"", "new_accounts_per_address = 1000",
          "new_accounts_per_email = 1000"}},
        {"gemstones", {"policy = \"fixed\"", "grant = 5"}},
    };
    std::string arrays;
    std::vector<std::string>* current = nullptr;
    std::istringstream in(extra);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("[[", 0) == 0 || (!current && !arrays.empty())) {
            arrays += line + "\n";
            current = nullptr;
            continue;
        }
        if (line.rfind("[", 0) == 0) {
            std::string name = line.substr(1, line.find(']') - 1);
            auto it = std::find_if(tables.begin(), tables.end(),
                                   [&](const auto& t) { return t.first == name; });
            if (it == tables.end()) it = tables.insert(tables.end(), {name, {}});
            current = &it->second;
            continue;
        }
        if (!current || line.empty()) {
            if (!line.empty()) arrays += line + "\n";
            continue;
        }
        std::string key = line.substr(0, line.find('='));
        std::erase_if(*current,
                      [&](const std::string& l) { return l.substr(0, l.find('=')) == key; });
        current->push_back(line);
    }
    std::string out;
    for (const auto& [name, lines] : tables) {
        out += "[" + name + "]\n";
        for (const std::string& l : lines) out += l + "\n";
    }
    return out + arrays;
}

ServerProcess::ServerProcess(std::string address, std::string dataDir, const std::string& config,
                             std::string netns)
    : address_(std::move(address)), dataDir_(std::move(dataDir)), netns_(std::move(netns)) {
    if (dataDir_.empty()) dataDir_ = ownDir_.emplace().path();
    fs::create_directories(dataDir_);
    if (!config.empty()) std::ofstream(dataDir_ + "/zrtserver.toml") << config;
}

ServerProcess::~ServerProcess() {
    stop();
}

static bool canConnect(const std::string& host, int port) {
    RawPeer probe;
    return probe.connect("0.0.0.0", host, port);
}

bool ServerProcess::start() {
    const char* other = std::getenv("ZRTSERVER");
    std::string exe = other && *other ? other : std::string(ZRT_BIN_DIR) + "/zrtserver";
    std::vector<std::string> args = {exe, "--data", dataDir_, "--address", address_};
    if (!netns_.empty()) args.insert(args.begin(), {"ip", "netns", "exec", netns_});
    std::string logPath = dataDir_ + "/server.log";
    pid_ = fork();
    if (pid_ == 0) {
        int fd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            dup2(fd, 2);
            ::close(fd);
        }
        if (descriptors_ > 0) {
            rlimit lim{static_cast<rlim_t>(descriptors_), static_cast<rlim_t>(descriptors_)};
            setrlimit(RLIMIT_NOFILE, &lim);
        }
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (pid_ < 0) return false;
    // The control socket is the last thing a server opens before it serves.
    const bool up = WaitUntil(
        [&] {
            int status = 0;
            if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;
            return pid_ < 0 || (canConnect(address_, zrt::kDatabasePort) &&
                                canConnect(address_, zrt::kVersionPort) &&
                                fs::exists(dataDir_ + "/zrtserver.ctl"));
        },
        kStartMs);
    return up && pid_ > 0;
}

void ServerProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

int ServerProcess::stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    resume();  // a paused server takes the SIGTERM only once it runs again
    int status = 0;
    if (WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, kStopMs)) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    kill();
    return -1;
}

bool ServerProcess::pause() {
    return pid_ > 0 && ::kill(pid_, SIGSTOP) == 0;
}

bool ServerProcess::resume() {
    return pid_ > 0 && ::kill(pid_, SIGCONT) == 0;
}

bool ServerProcess::writeDefaultConfig() {
    if (fs::exists(dataDir_ + "/zrtserver.toml")) return true;
    if (!start()) return false;
    stop();
    return true;
}

bool ServerProcess::editConfig(const std::string& from, const std::string& to) {
    if (!writeDefaultConfig()) return false;
    const std::string path = dataDir_ + "/zrtserver.toml";
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    std::string config = text.str();
    size_t at = config.find(from);
    if (at == std::string::npos) return false;
    config.replace(at, from.size(), to);
    return static_cast<bool>(std::ofstream(path, std::ios::trunc) << config);
}

bool ServerProcess::addBanner(const std::string& pictureUrl, const std::string& clickUrl) {
    if (!writeDefaultConfig()) return false;
    return static_cast<bool>(std::ofstream(dataDir_ + "/zrtserver.toml", std::ios::app)
                             << "\n[[banner]]\npicture_url = \"" << pictureUrl
                             << "\"\nclick_url = \"" << clickUrl << "\"\n");
}

std::string ServerProcess::log() const {
    std::ifstream in(dataDir_ + "/server.log");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool ServerProcess::logged(const std::string& text) const {
    return WaitUntil([&] { return log().find(text) != std::string::npos; });
}

size_t ServerProcess::logCount(const std::string& text) const {
    const std::string all = log();
    size_t n = 0;
    for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) ++n;
    return n;
}

CtlResult runCtl(const std::string& dataDir, const std::vector<std::string>& words, int uid) {
    std::string exe = std::string(ZRT_BIN_DIR) + "/zrtserver";
    std::vector<std::string> args;
    if (uid >= 0)
        args = {"/usr/bin/setpriv", "--reuid=" + std::to_string(uid),
                "--regid=" + std::to_string(uid), "--clear-groups"};
    args.insert(args.end(), {exe, "ctl", "--data", dataDir});
    args.insert(args.end(), words.begin(), words.end());
    int out[2];
    if (pipe(out) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(out[1], 2);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ::close(out[1]);
    CtlResult result;
    char buf[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 1000) > 0) {
            ssize_t n = ::read(out[0], buf, sizeof buf);
            if (n <= 0) break;
            result.output.append(buf, static_cast<size_t>(n));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            break;
        }
    }
    ::close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace zrttest

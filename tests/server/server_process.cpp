// Test support: starting and stopping zrtserver, and the lobby's exchanges.
#include "tests/server/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "lobby/net/account_messages.h"
#include "lobby/net/request_code.h"
#include "lobby/net/server_exchange.h"

namespace zrttest {

namespace fs = std::filesystem;
constexpr int kWaitMs = 10000;

TempDir::TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "zrtserver-test-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) path_ = buf.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
}

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

ServerProcess::ServerProcess(std::string address, std::string dataDir, const std::string& config)
    : address_(std::move(address)), dataDir_(std::move(dataDir)) {
    fs::create_directories(dataDir_);
    if (!config.empty()) std::ofstream(dataDir_ + "/zrtserver.toml") << config;
}

ServerProcess::~ServerProcess() {
    stop();
}

static bool canConnect(const std::string& host, int port) {
    int fd = connectRaw(host, port);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool ServerProcess::start() {
    const char* other = std::getenv("ZRTSERVER");
    std::string exe = other && *other ? other : std::string(ZRT_BIN_DIR) + "/zrtserver";
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
        execl(exe.c_str(), exe.c_str(), "--data", dataDir_.c_str(), "--address", address_.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid_ < 0) return false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        // The control socket is the last thing a server opens before it serves.
        if (canConnect(address_, zrt::kDatabasePort) && canConnect(address_, zrt::kVersionPort) &&
            std::filesystem::exists(dataDir_ + "/zrtserver.ctl"))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
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
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return -1;
}

std::string ServerProcess::log() const {
    std::ifstream in(dataDir_ + "/server.log");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int exchange(const std::string& host, int port, const std::vector<uint8_t>& request, int prefix,
             std::vector<uint8_t>* reply) {
    zrt::ServerExchange ex(host, port);
    ex.setRequest(request);
    ex.setPrefixWidth(prefix);
    int r = ex.run();
    if (reply) *reply = ex.reply();
    return r;
}

std::optional<uint8_t> createAccount(const std::string& host, const std::string& name,
                                     const std::string& email) {
    zrt::NewAccountRequest req{name, zrt::newAccountStats(3, 42, 2024, 5, 17), email};
    std::vector<uint8_t> reply;
    if (exchange(host, zrt::kDatabasePort, zrt::encodeNewAccountRequest(req), 0, &reply) <= 0)
        return std::nullopt;
    return zrt::decodeNewAccountOutcome(reply.data(), reply.size());
}

int outboxCount(const std::string& dataDir) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dataDir + "/outbox", ec))
        if (e.path().extension() == ".eml") ++n;
    return n;
}

std::optional<zrt::LoginReply> login(const std::string& host, const std::string& name,
                                     const zrt::AccountStats& stats, const std::string& password,
                                     int* replyBytes) {
    zrt::LoginRequest req{name, stats, 1, 0, password};
    std::vector<uint8_t> reply;
    int r = exchange(host, zrt::kDatabasePort, zrt::encodeLoginRequest(req), 2, &reply);
    if (replyBytes) *replyBytes = r;
    if (r <= 0) return std::nullopt;
    return zrt::decodeLoginReply(reply.data(), reply.size());
}

std::vector<zrt::LadderEntry> ladder(const std::string& host) {
    std::vector<uint8_t> reply;
    if (exchange(host, zrt::kDatabasePort, zrt::encodeLadderRequest(), 0, &reply) <= 0) return {};
    return zrt::decodeLadderReply(reply.data(), reply.size());
}

std::optional<zrt::BannerRecord> banner(const std::string& host) {
    std::vector<uint8_t> reply;
    int r = exchange(host, zrt::kDatabasePort, zrt::encodeBannerRequest(), 2, &reply);
    if (r <= 0) return std::nullopt;
    if (r == 2) return zrt::BannerRecord{};
    return zrt::decodeBannerRecord(reply.data(), reply.size());
}

int connectRaw(const std::string& host, int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, host.c_str(), &a.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void sendRaw(int fd, const std::vector<uint8_t>& bytes) {
    if (!bytes.empty()) (void)::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::optional<std::vector<uint8_t>> readUntilClosed(int fd) {
    std::vector<uint8_t> out;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        uint8_t buf[4096];
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return out;
        out.insert(out.end(), buf, buf + n);
    }
    return std::nullopt;
}

}  // namespace zrttest

namespace zrttest {

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

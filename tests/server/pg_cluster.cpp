// Starting and stopping the throw-away PostgreSQL cluster.
#include "tests/server/pg_cluster.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "server/pg_connection.h"

namespace zrttest {

namespace {
const std::string kBin = "/usr/lib/postgresql/15/bin/";
constexpr int kStartAttempts = 3;  // a port found free may be taken before the postmaster binds it
constexpr auto kStartWait = std::chrono::seconds(30);

struct RunAs {
    uid_t uid = 0;
    gid_t gid = 0;
    bool change = false;
};

// Runs `args` (as `who`, its output appended to `log`), the child dying with us; returns its
// pid.
pid_t spawn(const std::vector<std::string>& args, const RunAs& who, const std::string& log,
            bool wait) {
    pid_t pid = fork();
    if (pid == 0) {
        int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        if (who.change &&
            (setgroups(0, nullptr) != 0 || setgid(who.gid) != 0 || setuid(who.uid) != 0))
            _exit(126);
        // After the change of user, which clears it.
        prctl(PR_SET_PDEATHSIG, SIGQUIT);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pid > 0 && wait) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? pid : -1;
    }
    return pid;
}

// A TCP port of 127.0.0.1 that is free now (test processes run side by side).
int freePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    if (fd >= 0) ::close(fd);
    return port;
}

std::string url(int port, const std::string& db) {
    return "postgresql://zrt@127.0.0.1:" + std::to_string(port) + "/" + db;
}
}  // namespace

PgCluster* PgCluster::shared(std::string& why) {
    static std::unique_ptr<PgCluster> cluster;
    static std::string failure;
    if (!cluster && failure.empty()) {
        std::unique_ptr<PgCluster> c(new PgCluster());
        if (c->start(failure))
            cluster = std::move(c);
        else if (failure.empty())
            failure = "the cluster did not start";
    }
    why = failure;
    return cluster.get();
}

bool PgCluster::start(std::string& why) {
    if (!installed()) {
        why = "PostgreSQL 15 is not installed (postgresql-15)";
        return false;
    }
    RunAs who;
    if (geteuid() == 0) {
        passwd* pw = getpwnam("postgres");
        if (!pw) {
            why = "running as root and there is no postgres user to run PostgreSQL as";
            return false;
        }
        who = {pw->pw_uid, pw->pw_gid, true};
    }
    char tmpl[] = "/tmp/zrt-pg-XXXXXX";
    if (!mkdtemp(tmpl)) return false;
    root_ = tmpl;
    if (who.change && chown(root_.c_str(), who.uid, who.gid) != 0) return false;
    const std::string data = root_ + "/data";
    if (spawn({kBin + "initdb", "-D", data, "-U", "zrt", "--auth=trust", "--encoding=UTF8",
               "--locale=C", "--no-sync"},
              who, root_ + "/initdb.log", true) < 0) {
        why = "initdb failed (see " + root_ + "/initdb.log)";
        return false;
    }
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        port_ = freePort();
        pid_ =
            spawn({kBin + "postgres", "-D", data, "-p", std::to_string(port_), "-k", root_, "-c",
                   "listen_addresses=127.0.0.1", "-c", "fsync=off", "-c", "logging_collector=off"},
                  who, root_ + "/postgres.log", false);
        auto end = std::chrono::steady_clock::now() + kStartWait;
        while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
            if (zrtserver::PgConnection(url(port_, "postgres")).ok()) return true;
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    why = "the postmaster did not come up (see " + root_ + "/postgres.log)";
    return false;
}

bool PgCluster::installed() {
    return std::filesystem::exists(kBin + "initdb") && std::filesystem::exists(kBin + "postgres");
}

PgCluster::~PgCluster() {
    if (pid_ > 0) {
        kill(pid_, SIGQUIT);  // immediate shutdown: the data is thrown away
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
}

std::string PgCluster::createDatabase() {
    std::string name = "zrt" + std::to_string(++databases_);
    zrtserver::PgConnection admin(url(port_, "postgres"));
    if (!admin.exec("CREATE DATABASE " + name).ok()) return {};
    return url(port_, name);
}

}  // namespace zrttest

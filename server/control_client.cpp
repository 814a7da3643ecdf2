// The operator's command line.
#include "server/control_client.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "server/control_commands.h"
#include "server/control_socket.h"
#include "server/control_wire.h"
#include "server/data_dir.h"
#include "server/password_hash.h"
#include "server/store_factory.h"

namespace zrtserver {

namespace {
int print(const ControlReply& reply) {
    std::fputs(reply.text.c_str(), reply.ok ? stdout : stderr);
    return reply.ok ? 0 : 1;
}

// Without the server: the command runs here, on the store the configuration names.
int runOffline(const DataDir& dir, const std::vector<std::string>& words) {
    std::string error;
    if (!std::filesystem::exists(dir.configPath())) {
        std::fprintf(stderr, "no server data folder at %s\n", dir.root.c_str());
        return 1;
    }
    auto config = loadConfig(dir.configPath(), error);
    if (!config || !initCrypto()) {
        std::fprintf(stderr, "%s: %s\n", dir.configPath().c_str(), error.c_str());
        return 1;
    }
    auto opened = openAccountStore(*config, dir, error);
    if (!opened) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Mailer mailer(config->mail, dir.outboxPath());
    ControlCommands commands(*opened->store, mailer, config->accounts.hashCost, "ctl", nullptr);
    return print(commands.run(words, localUserName(::geteuid())));
}
}  // namespace

int runControl(const std::string& dataDir, const std::vector<std::string>& words) {
    if (words.empty()) {
        std::fputs(ControlCommands::usage().c_str(), stderr);
        return 2;
    }
    DataDir dir{dataDir};
    std::string path = dir.controlPath();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        std::fprintf(stderr, "the control socket's path is too long: %s\n", path.c_str());
        return 1;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        int err = errno;
        ::close(fd);
        if ((err == ENOENT || err == ECONNREFUSED) && ControlCommands::worksOffline(words))
            return runOffline(dir, words);
        if (err == ENOENT || err == ECONNREFUSED) {
            std::fprintf(stderr, "no zrtserver is running on %s\n", dataDir.c_str());
            return 1;
        }
        std::fprintf(stderr, "cannot reach the control socket %s: %s\n", path.c_str(),
                     std::strerror(err));
        return 1;
    }
    auto now = std::chrono::steady_clock::now();
    std::string bytes;
    bool sent = writeAll(fd, encodeControlRequest(words), now + kControlRequestWait) &&
                ::shutdown(fd, SHUT_WR) == 0;
    bool read = sent && readToEnd(fd, bytes, kMaxControlReply, now + kControlReplyWait);
    ::close(fd);
    auto reply = read ? decodeControlReply(bytes) : std::nullopt;
    if (!reply) {
        std::fprintf(stderr, "the server did not answer\n");
        return 1;
    }
    return print(*reply);
}

}  // namespace zrtserver

// ControlSocket: the operator's way into a running server, a Unix socket in the data folder
// that only the server's own user may open (mode 0600, and the peer's credentials checked:
// the server's user or root). One thread accepts and serves one command at a time; each
// command is read and answered within bounded waits and handed to the handler with the name
// of the local user who sent it.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "server/control_wire.h"

namespace zrtserver {

class ControlSocket {
  public:
    using Handler = std::function<ControlReply(const std::vector<std::string>& words,
                                               const std::string& actor)>;

    // Binds `path`. A socket file left by a server that is gone is replaced; one that a live
    // server answers on is an error (two servers on one data folder). nullptr with a reason on
    // failure.
    static std::unique_ptr<ControlSocket> open(const std::string& path, Handler handler,
                                               std::string& error);
    ~ControlSocket();
    ControlSocket(const ControlSocket&) = delete;
    ControlSocket& operator=(const ControlSocket&) = delete;

    // Ends the thread and removes the socket file. Idempotent.
    void stop();

  private:
    ControlSocket(std::string path, int fd, Handler handler);
    void run();
    void serve(int fd);

    std::string path_;
    int fd_;
    Handler handler_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// True when a running server answers on the control socket at `path`.
bool controlSocketAnswers(const std::string& path);

// "name (uid N)" of a local user.
std::string localUserName(unsigned uid);

}  // namespace zrtserver

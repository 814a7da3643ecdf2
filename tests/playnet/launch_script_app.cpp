// launch_script_app: a program for the launcher's tests to start. It follows the steps in
// LAUNCH_SCRIPT (comma-separated) on its launch channel:
//   settings      read the connection settings (the library then says "settings read")
//   echo          send the settings' bytes back as a plain (non-system) lobby message
//   fds           send "fds:N", N = open descriptors besides 0-2 and the channel
//   sys:CODE      send the system message CODE (2 failed, 3 succeeded, 4 terminated, ...)
//   big:N         send a plain message of N bytes
//   sleep:MS      wait
//   exit          end without saying so
#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "playnet/launched_app.h"
#include "playnet/process_start.h"

namespace {

int openDescriptors() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (dirent* e = readdir(d)) {
            int fd = std::atoi(e->d_name);
            if (e->d_name[0] != '.' && fd > playnet::kInheritedFd && fd != dirfd(d)) ++n;
        }
        closedir(d);
    }
    return n;
}

playnet::LobbyMessage plain(const std::string& text) {
    return {0, std::vector<uint8_t>(text.begin(), text.end())};
}

}  // namespace

int main() {
    std::unique_ptr<playnet::LaunchedApp> lobby = playnet::LaunchedApp::FromEnvironment();
    if (!lobby) return 3;
    const char* script = std::getenv("LAUNCH_SCRIPT");
    std::stringstream steps(script ? script : "");
    std::optional<playnet::ConnectionSettings> settings;
    std::string step;
    while (std::getline(steps, step, ',')) {
        const size_t colon = step.find(':');
        const std::string verb = step.substr(0, colon);
        const long arg = colon == std::string::npos ? 0 : std::atol(step.c_str() + colon + 1);
        if (verb == "settings")
            settings = lobby->GetConnectionSettings(5000);
        else if (verb == "echo" && settings)
            lobby->SendLobbyMessage({0, settings->Encode()});
        else if (verb == "fds")
            lobby->SendLobbyMessage(plain("fds:" + std::to_string(openDescriptors())));
        else if (verb == "sys")
            lobby->SendSystemMessage(static_cast<uint32_t>(arg));
        else if (verb == "big")
            lobby->SendLobbyMessage(plain(std::string(static_cast<size_t>(arg), 'x')));
        else if (verb == "sleep")
            std::this_thread::sleep_for(std::chrono::milliseconds(arg));
        else if (verb == "exit")
            return 0;
    }
    return 0;
}

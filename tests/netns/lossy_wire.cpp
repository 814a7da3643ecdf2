// lossy_wire: a wire between two network namespaces that loses and delays frames, for kernels
// without netem. It makes a TAP device in each namespace and copies every Ethernet frame that
// one side sends to the other after DELAY_MS, dropping LOSS percent of them at random (in each
// direction, ARP included, as netem on a veth pair would).
//
//   lossy_wire NS_A DEV_A NS_B DEV_B LOSS DELAY_MS
//
// Prints "ready" once both devices exist (the caller then gives them addresses and brings them
// up); runs until it is killed, and the devices go with it. Exit 2: bad arguments or no TAP.
#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Frame {
    Clock::time_point due;
    std::vector<char> bytes;
};

// A TAP device named `dev`, made inside the network namespace `ns`; -1 on failure.
int OpenTap(const std::string& ns, const char* dev) {
    const int nsFd = ::open(("/var/run/netns/" + ns).c_str(), O_RDONLY | O_CLOEXEC);
    if (nsFd < 0 || ::setns(nsFd, CLONE_NEWNET) != 0) return -1;
    ::close(nsFd);
    const int fd = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    if (fd < 0) return -1;
    ifreq ifr{};
    ifr.ifr_flags = IFF_TAP | IFF_NO_PI;
    std::strncpy(ifr.ifr_name, dev, IFNAMSIZ - 1);
    if (::ioctl(fd, TUNSETIFF, &ifr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: lossy_wire NS_A DEV_A NS_B DEV_B LOSS DELAY_MS\n");
        return 2;
    }
    const int loss = std::atoi(argv[5]);
    const auto delay = std::chrono::milliseconds(std::atoi(argv[6]));
    const int fds[2] = {OpenTap(argv[1], argv[2]), OpenTap(argv[3], argv[4])};
    if (fds[0] < 0 || fds[1] < 0) {
        std::perror("lossy_wire: cannot make the TAP devices");
        return 2;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> percent(0, 99);
    std::deque<Frame> towards[2];  // frames on their way to side 0 and side 1
    std::vector<char> buffer(65536);
    for (;;) {
        int timeout = -1;
        const auto now = Clock::now();
        for (const auto& q : towards) {
            if (q.empty()) continue;
            const auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(q.front().due - now).count();
            const int ms = wait < 0 ? 0 : static_cast<int>(wait) + 1;
            if (timeout < 0 || ms < timeout) timeout = ms;
        }
        pollfd p[2] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}};
        if (::poll(p, 2, timeout) < 0) continue;
        for (int side = 0; side < 2; ++side) {
            if (!(p[side].revents & POLLIN)) continue;
            const ssize_t n = ::read(fds[side], buffer.data(), buffer.size());
            if (n <= 0 || percent(random) < loss) continue;
            towards[1 - side].push_back(
                {Clock::now() + delay, {buffer.begin(), buffer.begin() + n}});
        }
        for (int side = 0; side < 2; ++side) {
            auto& q = towards[side];
            while (!q.empty() && q.front().due <= Clock::now()) {
                (void)!::write(fds[side], q.front().bytes.data(), q.front().bytes.size());
                q.pop_front();
            }
        }
    }
}

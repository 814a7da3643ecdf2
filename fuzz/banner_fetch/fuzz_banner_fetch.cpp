// The banner fetch against a hostile web server on loopback. The input holds the server's
// answers, parted by "\n--\n": the first answers the banner's address, the next ones whatever
// a redirect asks for ("@@" in an answer stands for the server's host and port, so that a
// redirect can lead back to it). Each answer is sent whole, then the connection is closed.
// Checked: the fetch ends, with -1 or the number of bytes it kept (never more than a banner may
// hold), after one redirect at most.
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "fuzz/support/raw_peer.h"
#include "lobby/banner/banner_fetch.h"

namespace {

constexpr int kWaitMs = 30000;  // bounds a hang; the fetch's own bounds are shorter

struct Listener {
    int fd = -1;
    uint16_t port = 0;
    std::string host;
    Listener() {
        fd = zrtfuzz::ListenLoopback(port);
        FUZZ_CHECK(fd >= 0);
        host = "127.0.0.1:" + std::to_string(port);
    }
};

Listener& TheListener() {
    static Listener* l = new Listener;
    return *l;
}

std::vector<std::string> Answers(std::string_view input) {
    std::vector<std::string> answers;
    for (;;) {
        const size_t end = input.find("\n--\n");
        std::string a(input.substr(0, end));
        const std::string& host = TheListener().host;
        for (size_t at = 0; (at = a.find("@@", at)) != std::string::npos; at += host.size())
            a.replace(at, 2, host);
        answers.push_back(std::move(a));
        if (end == std::string_view::npos) return answers;
        input.remove_prefix(end + 4);
    }
}

// Reads a request's head (bounded), then sends the answer and closes.
void Answer(int fd, const std::string& answer) {
    std::string head;
    char buf[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 &&
           zrtfuzz::Readable(fd, kWaitMs)) {
        const ssize_t n = zrtfuzz::RecvSome(fd, buf, sizeof buf);
        if (n <= 0) break;
        head.append(buf, static_cast<size_t>(n));
    }
    FUZZ_CHECK(head.starts_with("GET /"));
    zrtfuzz::WriteAll(fd, std::vector<uint8_t>(answer.begin(), answer.end()));
    ::shutdown(fd, SHUT_WR);
    while (zrtfuzz::Readable(fd, kWaitMs) && zrtfuzz::RecvSome(fd, buf, sizeof buf) > 0) {
    }
    ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> answers =
        Answers(std::string_view(reinterpret_cast<const char*>(data), size));
    std::atomic<bool> done{false};
    int requests = 0;
    std::thread server([&] {
        for (;;) {
            const int fd = zrtfuzz::AcceptWithin(TheListener().fd, kWaitMs);
            FUZZ_CHECK(fd >= 0);
            if (done) {  // the knock that ends the server
                ::close(fd);
                return;
            }
            const size_t i = static_cast<size_t>(requests++);
            Answer(fd, i < answers.size() ? answers[i] : std::string());
        }
    });
    std::vector<unsigned char> out;
    const int got = zrt::BannerFetch("http://" + TheListener().host + "/banner.gif", out);
    done = true;
    ::close(zrtfuzz::ConnectLoopback(TheListener().port));
    server.join();

    FUZZ_CHECK(got == -1 ||
               (static_cast<size_t>(got) == out.size() && out.size() <= zrt::kBannerBufferSize));
    FUZZ_CHECK(requests >= 1 && requests <= 2);
    return 0;
}

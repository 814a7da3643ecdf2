// ScriptedPeer: a TCP peer on a loopback address of the test's own that answers as scripted:
// an HTTP request by its path, anything else (a database-server request, say) with the reply
// scripted for "". A reply comes whole, in slow pieces, or never (the connection is held
// until the client hangs up or the peer goes). Connections are served one at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class ScriptedPeer {
  public:
    struct Reply {
        std::string bytes;
        size_t piece = 0;   // when above 0: sent in pieces of this size,
        int pauseMs = 0;    // each after this pause
        bool hold = false;  // answer nothing and wait for the client to hang up
    };

    // port 0: any free port.
    explicit ScriptedPeer(std::string address, uint16_t port = 0);
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    bool listening() const { return fd_ >= 0; }
    uint16_t port() const { return port_; }
    // "http://<address>:<port><path>"
    std::string url(const std::string& path) const;

    // Queues a reply for requests of `path` ("" for requests that are not HTTP). Queued
    // replies are used in turn; the last one stays for any later request.
    void on(const std::string& path, Reply reply);

    int requests() const { return requests_.load(); }
    // Held connections that the client closed.
    int hangUps() const { return hangUps_.load(); }
    std::string lastRequest() const;

  private:
    void serve();
    void answer(int client);
    bool pause(int ms) const;

    std::string address_;
    uint16_t port_ = 0;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::atomic<int> hangUps_{0};
    mutable std::mutex mutex_;
    std::map<std::string, std::deque<Reply>> replies_;
    std::string lastRequest_;
    std::thread thread_;
};

// An HTTP/1.1 answer with the status, extra header lines ("Name: value\r\n" each) and body.
std::string HttpAnswer(int status, const std::string& body, const std::string& headers = "");

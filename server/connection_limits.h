// ConnectionLimits: how many connections one port holds at once, in total and from one peer
// address. A connection is admitted with a ticket that it holds while it lives; a refused one
// is closed at once. Refusals are logged once per address and interval, so that a flood of
// them cannot flood the log too.
//
// A connection admitted with a way to close it is "waiting" (its request not yet in, or its
// reply already out) until it says otherwise. When the port holds its total, a newcomer whose
// address has room takes the place of the connection that has been waiting longest, which is
// closed; only when none is waiting is the newcomer refused. So connections that hold a place
// without asking anything cannot keep a port from answering: to shut a client out, a flood
// would have to open the port's total of connections within the client's own round trip.
//
// Thread-safe: the version and database ports admit on the I/O thread, the hall port on the
// playnet host's thread; tickets may be dropped on any thread. A waiting connection is closed
// on the thread that admits the newcomer.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace zrtserver {

class ConnectionLimits {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kLogInterval = std::chrono::seconds(60);

    // Held by an admitted connection while it lives; dropping it gives the place back.
    class Ticket {
      public:
        ~Ticket();
        Ticket(const Ticket&) = delete;
        Ticket& operator=(const Ticket&) = delete;
        // Whether the connection may be closed to make room (only when admitted with a way to
        // close it).
        void setWaiting(bool waiting);

      private:
        friend class ConnectionLimits;
        Ticket(ConnectionLimits& limits, std::string address, std::function<void()> close)
            : limits_(limits), address_(std::move(address)), close_(std::move(close)) {}

        ConnectionLimits& limits_;
        const std::string address_;
        const std::function<void()> close_;
        // Under the limits' mutex.
        bool counted_ = true;  // false once closed to make room: its place is given already
        bool waiting_ = false;
        std::list<Ticket*>::iterator place_;
    };

    // `port`: a name for the log ("version", "database", "halls").
    ConnectionLimits(std::string port, int total, int perAddress);

    // A ticket to hold while the connection lives, or nullptr when the port holds its total
    // (and no connection is waiting) or the address its share. `close`: when set, the
    // connection starts out waiting, and this closes it should its place be needed.
    std::shared_ptr<Ticket> admit(const std::string& address, std::function<void()> close = {});

    int open() const;
    int total() const { return total_; }
    int perAddress() const { return perAddress_; }

  private:
    void release(Ticket& ticket);
    // Under mutex_: gives the ticket's place back.
    void forgetLocked(Ticket& ticket);
    void logRefusal(const std::string& address, const char* why);

    const std::string port_;
    const int total_;
    const int perAddress_;

    mutable std::mutex mutex_;
    int open_ = 0;
    std::unordered_map<std::string, int> byAddress_;
    std::list<Ticket*> waiting_;  // longest waiting first
    std::unordered_map<std::string, Clock::time_point> lastLogged_;
    uint64_t unlogged_ = 0;  // refusals not logged one by one since the last summary
};

}  // namespace zrtserver

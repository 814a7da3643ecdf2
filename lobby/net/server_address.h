// ServerAddress: the process-wide host text of the central servers, a dotted IPv4 address or a
// host name. Set by the main thread (from the resource file, then from the version reply) and
// read by exchange workers, so it is guarded.
#pragma once

#include <mutex>
#include <string>

namespace zrt {

class ServerAddress {
  public:
    void set(std::string host) {
        std::lock_guard lock(mutex_);
        host_ = std::move(host);
    }
    std::string get() const {
        std::lock_guard lock(mutex_);
        return host_;
    }

  private:
    mutable std::mutex mutex_;
    std::string host_;
};

}  // namespace zrt

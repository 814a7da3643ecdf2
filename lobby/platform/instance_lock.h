// Single-copy guard: an flock()ed lock file named after the lock, in $XDG_RUNTIME_DIR (else
// the temp folder). The system drops the lock when the process ends, however it ends.
#pragma once

#include <string>

namespace zrt {

class InstanceLock {
  public:
    enum class Result { Acquired, AlreadyHeld, Error };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock `name` for the life of this object (normally the whole process).
    Result acquire(const std::string& name);
    // Lets a later copy start while this one keeps running is not wanted, so releasing only
    // happens when the object dies.

    // The file the lock of `name` lives in.
    static std::string lockPath(const std::string& name);

  private:
    int fd_ = -1;
};

}  // namespace zrt

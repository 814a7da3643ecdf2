// Single-copy guard on an flock()ed file.
#include "lobby/platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace zrt {

std::string InstanceLock::lockPath(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::filesystem::path dir = (runtime && *runtime) ? std::filesystem::path(runtime)
                                                      : std::filesystem::temp_directory_path();
    return (dir / name).string();
}

InstanceLock::Result InstanceLock::acquire(const std::string& name) {
    if (fd_ >= 0) return Result::Acquired;
    int fd = ::open(lockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return Result::Error;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? Result::AlreadyHeld : Result::Error;
    }
    fd_ = fd;
    return Result::Acquired;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace zrt

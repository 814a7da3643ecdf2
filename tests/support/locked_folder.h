// LockedFolder: makes a folder refuse new entries for as long as it lives, so that a save into
// it fails. Permissions do not stop root, so root sets the folder's immutable flag instead.
// locked() says whether a probe file could indeed not be created; a test skips where not.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace zrttest {

class LockedFolder {
  public:
    explicit LockedFolder(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags_) == 0) {
            int locked = flags_ | FS_IMMUTABLE_FL;
            immutable_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &locked) == 0;
        }
        struct stat st {};
        if (!immutable_ && ::stat(path.c_str(), &st) == 0) {
            mode_ = st.st_mode & 07777;
            ::chmod(path.c_str(), 0500);
        }
        std::string probe = path + "/.lock-probe";
        int f = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        locked_ = f < 0;
        if (f >= 0) {
            ::close(f);
            ::unlink(probe.c_str());
        }
    }
    ~LockedFolder() {
        if (immutable_) ::ioctl(fd_, FS_IOC_SETFLAGS, &flags_);
        if (mode_ >= 0) ::chmod(path_.c_str(), static_cast<mode_t>(mode_));
        if (fd_ >= 0) ::close(fd_);
    }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

    bool locked() const { return locked_; }

  private:
    std::string path_;
    int fd_ = -1;
    int flags_ = 0;
    int mode_ = -1;  // the folder's mode before a lock by permissions
    bool immutable_ = false;
    bool locked_ = false;
};

}  // namespace zrttest

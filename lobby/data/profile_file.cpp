// Profile file input and output: bounded read, check, and crash-safe replace.
#include "lobby/data/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zrt {
namespace fs = std::filesystem;

std::string ProfileFileName(const std::string& stem) {
    return stem + ".PRF";
}

ProfileLoadStatus LoadProfileFile(const fs::path& gameDir, const std::string& fileName,
                                  ProfileRecord& record) {
    // The name must be a bare file name; anything with a directory part is refused.
    if (fileName.empty() || fileName.find('/') != std::string::npos)
        return ProfileLoadStatus::CannotOpen;
    // Opened without blocking and read only when it is a regular file, so that a FIFO or
    // device given a profile's name cannot stall the caller.
    int fd = ::open((gameDir / fileName).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return ProfileLoadStatus::CannotOpen;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ProfileLoadStatus::CannotOpen;
    }
    uint8_t buf[kProfileSize] = {};
    size_t got = 0;
    bool failed = false;
    while (got < kProfileSize) {
        ssize_t n = ::read(fd, buf + got, kProfileSize - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (failed) return ProfileLoadStatus::ReadError;
    if (got < kProfileSize) return ProfileLoadStatus::TooShort;
    auto plain = UnscrambleProfile(buf, got);
    if (!plain) return ProfileLoadStatus::BadCheck;
    // The stem field always names the file the record came from.
    std::string stem = fileName.substr(0, 8);
    stem = stem.substr(0, stem.find('.'));
    plain->setText(profile_offset::kStem, profile_width::kStem, stem);
    record = *plain;
    return ProfileLoadStatus::Ok;
}

bool LoadProfile(const fs::path& gameDir, const std::string& fileName, ProfileRecord& record) {
    return LoadProfileFile(gameDir, fileName, record) == ProfileLoadStatus::Ok;
}

bool IsUsableStem(const std::string& stem) {
    return !stem.empty() && stem.size() <= 8 && stem.find('/') == std::string::npos &&
           stem.find('\\') == std::string::npos && stem != "." && stem != "..";
}

static bool WriteAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

std::optional<fs::path> WriteProfileTemp(const fs::path& gameDir, const ProfileRecord& record,
                                         uint8_t key) {
    std::string stem = record.stem();
    if (!IsUsableStem(stem)) return std::nullopt;
    // A hidden name that never matches "*.PRF", so a scan never picks up a leftover.
    std::string pattern = (gameDir / ("." + ProfileFileName(stem) + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return std::nullopt;
    ::fchmod(fd, 0644);  // mkstemp creates the file private; profiles are ordinary files
    auto bytes = ScrambleProfile(record, key);
    bool ok = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(pattern.c_str());
        return std::nullopt;
    }
    return fs::path(pattern);
}

bool CommitProfileTemp(const fs::path& tempFile, const fs::path& target) {
    if (::rename(tempFile.c_str(), target.c_str()) != 0) {
        ::unlink(tempFile.c_str());
        return false;
    }
    // Make the rename itself durable.
    int dir = ::open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
                     O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool SaveProfileWithKey(const fs::path& gameDir, const ProfileRecord& record, uint8_t key) {
    auto temp = WriteProfileTemp(gameDir, record, key);
    if (!temp) return false;
    return CommitProfileTemp(*temp, gameDir / ProfileFileName(record.stem()));
}

bool SaveProfile(const fs::path& gameDir, const ProfileRecord& record) {
    return SaveProfileWithKey(gameDir, record, ProfileKeyForTime(std::time(nullptr)));
}

}  // namespace zrt

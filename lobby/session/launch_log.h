// LaunchLog: "Launch.LOG" in the game folder, the one log the lobby keeps. It is created anew
// (emptied) for every launch and gets one line per lobby-message event of the launch, each
// written and flushed at once, so what it holds survives however the lobby ends.
#pragma once

#include <cstdio>
#include <filesystem>

namespace zrt {

inline constexpr const char* kLaunchLogFile = "Launch.LOG";

class LaunchLog {
  public:
    // Creates or empties the file. A file that cannot be created leaves the log silent.
    explicit LaunchLog(const std::filesystem::path& file);
    ~LaunchLog();
    LaunchLog(const LaunchLog&) = delete;
    LaunchLog& operator=(const LaunchLog&) = delete;

    // Writes `text` as raw bytes (the caller's line ends with CR LF) and flushes it.
    void line(const char* text);

  private:
    std::FILE* file_ = nullptr;
};

}  // namespace zrt

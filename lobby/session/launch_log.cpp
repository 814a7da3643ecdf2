// The launch log file.
#include "lobby/session/launch_log.h"

#include <cstring>

namespace zrt {

LaunchLog::LaunchLog(const std::filesystem::path& file) : file_(std::fopen(file.c_str(), "wb")) {}

LaunchLog::~LaunchLog() {
    if (file_) std::fclose(file_);
}

void LaunchLog::line(const char* text) {
    if (!file_) return;
    std::fwrite(text, 1, std::strlen(text), file_);
    std::fflush(file_);
}

}  // namespace zrt

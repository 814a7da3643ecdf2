// What the fuzz targets share: a check that reports what failed and stops (libFuzzer keeps the
// input), a private temporary folder per process, and writing an input into a file.
#pragma once

#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// The message goes where the sanitizers report (libFuzzer keeps that open when it closes the
// target's stderr with -close_fd_mask=2, as the targets whose code logs run).
#define FUZZ_CHECK(cond)                                                                 \
    do {                                                                                 \
        if (!(cond)) {                                                                   \
            __sanitizer_report_error_summary("FUZZ_CHECK failed: " #cond " at " __FILE__ \
                                             ":" FUZZ_LINE(__LINE__));                   \
            std::abort();                                                                \
        }                                                                                \
    } while (0)
#define FUZZ_LINE(n) FUZZ_LINE_TEXT(n)
#define FUZZ_LINE_TEXT(n) #n

namespace zrtfuzz {

// A folder of this process's own, created on first use: in memory (/dev/shm) where there is
// one, since the targets that read files write one per input; else in the temporary folder.
inline const std::filesystem::path& FuzzDir(const char* target) {
    static const std::filesystem::path dir = [target] {
        std::error_code ec;
        const auto base = std::filesystem::is_directory("/dev/shm", ec)
                              ? std::filesystem::path("/dev/shm")
                              : std::filesystem::temp_directory_path();
        auto d = base / (std::string("zrt-") + target + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// Replaces the file's content with the bytes; false when it cannot be written.
inline bool WriteFile(const std::filesystem::path& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace zrtfuzz

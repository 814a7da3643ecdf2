// What a bench reads about another process from /proc: the CPU time it has used and its
// resident memory.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

namespace benchproc {

// CPU seconds used (user and system) by the process, or by one of its threads when `stat` is
// /proc/PID/task/TID/stat; 0 when it cannot be read.
inline double cpuSecondsOf(const std::string& stat) {
    std::ifstream in(stat);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t close = text.rfind(')');
    if (close == std::string::npos || close + 2 > text.size()) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string f;
    double ticks = 0;
    for (int i = 3; fields >> f; ++i) {
        if (i == 14 || i == 15) ticks += std::stod(f);
        if (i == 15) break;
    }
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

inline double cpuSeconds(pid_t pid) {
    return cpuSecondsOf("/proc/" + std::to_string(pid) + "/stat");
}

// CPU seconds of each of the process's threads, by thread id.
inline std::map<int, double> threadCpuSeconds(pid_t pid) {
    std::map<int, double> threads;
    std::error_code error;
    std::string dir = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(dir, error))
        threads[std::stoi(task.path().filename().string())] =
            cpuSecondsOf(task.path().string() + "/stat");
    return threads;
}

// A "Name:  N kB" line of a /proc file, in bytes; 0 when it cannot be read.
inline long long procBytes(const std::string& path, const std::string& name) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(name, 0) == 0) return std::stoll(line.substr(name.size())) * 1024;
    return 0;
}

// The process's resident memory in bytes (VmRSS).
inline long long residentBytes(pid_t pid) {
    return procBytes("/proc/" + std::to_string(pid) + "/status", "VmRSS:");
}

// The part of it that is anonymous (heap, stacks), not pages of mapped files.
inline long long anonymousBytes(pid_t pid) {
    return procBytes("/proc/" + std::to_string(pid) + "/smaps_rollup", "Anonymous:");
}

}  // namespace benchproc

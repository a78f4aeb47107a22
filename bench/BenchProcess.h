#pragma once

// Timing whole processes for the benchmarks.
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace tessival::bench {

inline std::string Quote(const std::string& word) { return "'" + word + "'"; }

// Seconds a shell command takes; negative when it fails.
inline double Time(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1.0;
}

}  // namespace tessival::bench

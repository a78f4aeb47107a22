#pragma once
// Whole-process timing shared by the benchmarks: two shell commands run alternately (A B A B ...),
// and the ratio of each pair's times gives the median, the minimum and the maximum.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tessival::bench {

// The tessival-cli under test: $TESSIVAL_CLI when set (to compare another build), else this build's.
inline std::string CliPath() {
    const char* other = std::getenv("TESSIVAL_CLI");
    return other && *other ? other : TESSIVAL_CLI_PATH;
}

// An empty folder of the system's temporary folder, with an empty "out" folder in it.
inline std::filesystem::path FreshBenchDir(const char* name) {
    const auto dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "out");
    return dir;
}

inline std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline bool RunShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Wall seconds of a shell command; negative when it fails.
inline double TimeShell(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const bool ok = RunShell(command);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return ok ? seconds : -1.0;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Measured {
    double seconds = -1;  // wall time; negative when the command failed
    double peakMiB = 0;   // the child's peak resident memory
};

// Runs argv (stdout to /dev/null) as a child process and measures its wall time and, from its
// rusage, its peak resident memory.
inline Measured RunMeasured(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    Measured result;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const bool spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (!spawned || wait4(pid, &status, 0, &usage) != pid) return result;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) result.seconds = seconds;
    result.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
    return result;
}

// "label median M (min A, max B)" for a series.
inline void PrintSeries(const char* label, const std::vector<double>& values, const char* unit) {
    std::printf("  %s median %.3f %s (min %.3f, max %.3f, %zu runs)\n", label, Median(values), unit,
                *std::min_element(values.begin(), values.end()), *std::max_element(values.begin(), values.end()),
                values.size());
}

// Times a and b alternately and prints "what: A s, B s, ratio A/B median (min..max)". False when a
// command fails. A preparation (clearing outputs, say) runs before its command, outside the time.
inline bool ComparePairs(const char* what, const std::string& a, const std::string& b, int pairs = 5,
                         const std::string& prepareA = {}, const std::string& prepareB = {}) {
    std::vector<double> timesA, timesB, ratios;
    for (int i = 0; i < pairs; ++i) {
        if (!prepareA.empty()) RunShell(prepareA);
        const double ta = TimeShell(a);
        if (!prepareB.empty()) RunShell(prepareB);
        const double tb = TimeShell(b);
        if (ta < 0 || tb < 0) {
            std::fprintf(stderr, "%s: a command failed\n", what);
            return false;
        }
        timesA.push_back(ta);
        timesB.push_back(tb);
        ratios.push_back(ta / tb);
    }
    std::printf("%s\n  A %.3f s   B %.3f s   ratio A/B median %.3f (min %.3f, max %.3f, %d pairs)\n", what,
                Median(timesA), Median(timesB), Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()), pairs);
    return true;
}

// tessival-cli converting the list (A) against ffmpeg converting the source with the options into
// the file `theirs` (B).
inline bool CompareWithFfmpeg(const std::string& what, const std::string& cli, const std::string& list,
                              const std::string& source, const std::string& ffmpegOptions, const std::string& theirs,
                              int pairs = 5) {
    return ComparePairs((what + "; A tessival-cli, B ffmpeg").c_str(), Quote(cli) + " convert " + Quote(list) + " >/dev/null",
                        "ffmpeg -nostdin -v error -y -i " + Quote(source) + " " + ffmpegOptions + " " + Quote(theirs),
                        pairs);
}

}  // namespace tessival::bench

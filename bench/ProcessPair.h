#pragma once
// Whole-process timing shared by the benchmarks: two shell commands run alternately (A B A B ...),
// and the ratio of each pair's times gives the median, the minimum and the maximum.
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tessival::bench {

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

// Times a and b alternately and prints "what: A s, B s, ratio A/B median (min..max)". False when a
// command fails.
inline bool ComparePairs(const char* what, const std::string& a, const std::string& b, int pairs = 5) {
    std::vector<double> timesA, timesB, ratios;
    for (int i = 0; i < pairs; ++i) {
        const double ta = TimeShell(a);
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

}  // namespace tessival::bench

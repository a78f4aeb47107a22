#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessival::test {

struct ProcessResult {
    int exitCode = -1;
    std::string output;  // stdout only
};

// Runs a shell command line and collects its standard output and exit code.
inline ProcessResult RunProcess(const std::string& commandLine) {
    ProcessResult result;
    FILE* pipe = ::popen(commandLine.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Single-quotes a word for the shell.
inline std::string ShellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

inline std::string CliPath() {
    const char* path = std::getenv("TESSIVAL_CLI");
    return path ? path : "tessival-cli";
}

}  // namespace tessival::test

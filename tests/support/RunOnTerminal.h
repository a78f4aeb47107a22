#pragma once

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "support/RunProcess.h"

namespace tessival::test {

// Runs tessival-cli with args on a pseudo-terminal of 100 columns, with TERM set to term (unset
// when empty), and collects the bytes it writes there. The terminal passes bytes through as they
// are (no \n to \r\n), so the result is exactly what the program wrote. stderr goes to /dev/null.
inline ProcessResult RunOnTerminal(const std::vector<std::string>& args, const std::string& term) {
    const std::string program = CliPath();
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    // The environment is built before the fork: the child only execs.
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        if (std::string(*variable).rfind("TERM=", 0) != 0) variables.emplace_back(*variable);
    }
    if (!term.empty()) variables.push_back("TERM=" + term);
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    termios raw{};
    ::cfmakeraw(&raw);
    winsize size{};
    size.ws_row = 30;
    size.ws_col = 100;
    ProcessResult result;
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, &raw, &size);
    if (pid < 0) return result;
    if (pid == 0) {
        if (const int null = ::open("/dev/null", O_WRONLY); null >= 0) ::dup2(null, 2);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got > 0) {
            result.output.append(buffer, static_cast<std::size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // EIO once the program has closed the terminal
        }
    }
    ::close(master);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace tessival::test

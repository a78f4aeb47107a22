#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/StopSignals.h"

namespace tessival {
namespace {

TEST(StopSignals, HangUpTerminateAndInterruptReachTheEventLoop) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    std::vector<int> received;
    {
        StopSignals stopSignals([&received](int signal) { received.push_back(signal); });
        for (int signal : {SIGHUP, SIGTERM, SIGINT}) ::raise(signal);
        QElapsedTimer waited;
        waited.start();
        while (received.size() < 3 && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    EXPECT_EQ(received, (std::vector<int>{SIGHUP, SIGTERM, SIGINT}));
}

// Whether the process has a handler for the signal yet, from the kernel's account of it.
bool Catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

TEST(StopSignals, TheWindowEndsWithTheSignalThatEndedIt) {
    const char* build = std::getenv("TESSIVAL_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    const std::string window = std::string(build) + "/src/app/tessival";
    for (const auto& [signal, exitCode] : {std::pair{SIGHUP, 129}, std::pair{SIGTERM, 143}}) {
        char folder[] = "/tmp/tessival-signal-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        const std::string source = std::string(folder) + "/a.wav";
        std::ofstream(source) << "RIFF";
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("XDG_STATE_HOME", folder, 1);
            ::execl(window.c_str(), window.c_str(), source.c_str(), nullptr);
            ::_exit(127);
        }
        for (int i = 0; i < 600 && !Catches(pid, signal); ++i) ::usleep(50000);
        ::kill(pid, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << signal;
        EXPECT_EQ(WEXITSTATUS(status), exitCode) << signal;
        // The list the user was working on is kept, to be offered at the next start.
        EXPECT_TRUE(std::filesystem::exists(std::string(folder) + "/tessival/last.tsl")) << signal;
        std::filesystem::remove_all(folder);
    }
}

}  // namespace
}  // namespace tessival

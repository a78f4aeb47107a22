#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"

namespace tessival::test {

// A private PulseAudio server for one test: its own runtime folder, a sine source of a known
// frequency and a null sink (whose monitor is a second source). While it lives, libpulse
// clients of this process and of the commands given EnvPrefix() reach it and nothing else.
class PulseServer {
public:
    explicit PulseServer(int frequency = 440) {
        const std::string runtime = dir_.File("pulse");
        std::filesystem::create_directories(runtime);
        socket_ = runtime + "/native";
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("HOME", dir_.Path().c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", dir_.Path().c_str(), 1);
            ::setenv("PULSE_RUNTIME_PATH", runtime.c_str(), 1);
            ::unsetenv("PULSE_SERVER");
            const std::string sine = "module-sine-source source_name=sine rate=44100 frequency=" + std::to_string(frequency);
            const std::string unix = "module-native-protocol-unix auth-anonymous=1 socket=" + socket_;
            // The socket module comes last, so a socket on disk means every source is there.
            execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--system=false", "--exit-idle-time=-1",
                   "--use-pid-file=false", "--log-level=error", "-L", sine.c_str(), "-L",
                   "module-null-sink sink_name=nullsink", "-L", unix.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        Point(socket_);
        // The socket appears when it is bound, a moment before the server takes connections.
        for (int i = 0; i < 200 && !Answers(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    ~PulseServer() {
        Kill();
        ::unsetenv("PULSE_SERVER");
    }
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    bool Running() const { return pid_ > 0 && std::filesystem::exists(socket_); }
    bool Answers() const {
        return Running() && std::system((EnvPrefix() + "pactl info >/dev/null 2>&1").c_str()) == 0;
    }
    // Ends the server at once, as a crash would.
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    // "PULSE_SERVER=... " for a command line.
    std::string EnvPrefix() const { return "PULSE_SERVER=unix:" + socket_ + " "; }

    // Points this process's libpulse clients at a socket (a missing one stands for no server).
    static void Point(const std::string& socket) { ::setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1); }

private:
    TempDir dir_;
    std::string socket_;
    pid_t pid_ = -1;
};

// Points libpulse clients at a server that does not exist, for the life of the object.
class NoPulseServer {
public:
    NoPulseServer() { PulseServer::Point(dir_.File("none/native")); }
    ~NoPulseServer() { ::unsetenv("PULSE_SERVER"); }
    std::string EnvPrefix() const { return "PULSE_SERVER=unix:" + dir_.File("none/native") + " "; }

private:
    TempDir dir_;
};

// The frequency of a tone from its rising zero crossings, per channel-interleaved samples.
inline double ToneFrequency(const std::vector<float>& samples, int rate, int channels) {
    int crossings = 0;
    std::size_t first = 0, last = 0;
    for (std::size_t i = static_cast<std::size_t>(channels); i < samples.size(); i += static_cast<std::size_t>(channels)) {
        if (samples[i - static_cast<std::size_t>(channels)] < 0 && samples[i] >= 0) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    const double seconds = static_cast<double>((last - first) / static_cast<std::size_t>(channels)) / rate;
    return (crossings - 1) / seconds;
}

}  // namespace tessival::test

#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tessival {

// The playing times of source files, probed on a thread of its own so that a long list never
// stalls the window. Lookup answers from what is known and queues the rest.
class SourceDurations {
public:
    SourceDurations();
    SourceDurations(const SourceDurations&) = delete;
    SourceDurations& operator=(const SourceDurations&) = delete;

    enum class State { Pending, Known, Unknown };
    struct Answer {
        State state = State::Pending;
        double seconds = 0;
    };
    Answer Lookup(const std::string& path);

private:
    void Probe(std::stop_token stop);

    std::mutex mutex_;
    std::condition_variable_any queued_;
    std::deque<std::string> queue_;                       // guarded by mutex_
    std::map<std::string, std::optional<double>> known_;  // guarded by mutex_; nullopt: no length
    std::jthread prober_;                                 // last: it stops before the members go
};

}  // namespace tessival

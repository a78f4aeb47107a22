#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "platform/io/UniqueFd.h"

namespace tessival {

// Hands SIGHUP, SIGTERM and SIGINT (a closed terminal, a logout, Ctrl-C) to the event loop as
// calls of `onSignal` with the signal's number. The handler only writes the number into a pipe
// that the loop watches, so nothing runs inside the signal handler itself. One object at a time;
// the signals get their default action back when it goes.
class StopSignals : public QObject {
public:
    explicit StopSignals(std::function<void(int signal)> onSignal);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    void Deliver();

    std::function<void(int)> onSignal_;
    UniqueFd readEnd_;
    UniqueFd writeEnd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tessival

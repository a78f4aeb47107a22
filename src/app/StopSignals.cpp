#include "app/StopSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace tessival {
namespace {

constexpr int kStopSignals[] = {SIGHUP, SIGTERM, SIGINT};

volatile sig_atomic_t pipeWriteEnd = -1;

void WriteSignalNumber(int signal) {
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe already holds a stop request: losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = ::write(pipeWriteEnd, &number, 1);
    errno = savedErrno;
}

void Install(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kStopSignals) ::sigaction(signal, &action, nullptr);
}

}  // namespace

StopSignals::StopSignals(std::function<void(int signal)> onSignal) : onSignal_(std::move(onSignal)) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    readEnd_ = UniqueFd(ends[0]);
    writeEnd_ = UniqueFd(ends[1]);
    notifier_ = std::make_unique<QSocketNotifier>(readEnd_.Get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Deliver(); });
    pipeWriteEnd = writeEnd_.Get();
    Install(WriteSignalNumber);
}

StopSignals::~StopSignals() {
    if (!writeEnd_.Valid()) return;
    Install(SIG_DFL);
    pipeWriteEnd = -1;
}

void StopSignals::Deliver() {
    unsigned char numbers[16];
    const ssize_t count = ::read(readEnd_.Get(), numbers, sizeof numbers);
    for (ssize_t i = 0; i < count; ++i) onSignal_(numbers[i]);
}

}  // namespace tessival

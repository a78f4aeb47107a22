#include "platform/media/StreamingThread.h"

namespace tessival::media {

StreamingThread::~StreamingThread() { Stop(); }

void StreamingThread::Start(std::function<bool()> step) {
    Stop();
    stopRequested_ = false;
    thread_ = std::thread([this, step = std::move(step)] {
        while (!StopRequested() && step()) {
        }
    });
}

void StreamingThread::Stop() {
    stopRequested_ = true;
    if (thread_.joinable()) thread_.join();
}

}  // namespace tessival::media

#include "platform/media/ffmpeg/AvLoggedErrors.h"

#include <mutex>
#include <unordered_map>

extern "C" {
#include <libavutil/log.h>
}

namespace tessival::media {
namespace {

std::mutex watchedMutex;
std::unordered_map<const void*, std::shared_ptr<std::atomic<std::int64_t>>> watched;

void CountingCallback(void* context, int level, const char* format, va_list arguments) {
    if (level <= AV_LOG_ERROR && context) {
        std::lock_guard lock(watchedMutex);
        if (const auto found = watched.find(context); found != watched.end()) ++*found->second;
    }
    // The default callback prints only what FFmpeg's level lets through.
    av_log_default_callback(context, level, format, arguments);
}

void InstallCallbackOnce() {
    static std::once_flag installed;
    std::call_once(installed, [] { av_log_set_callback(&CountingCallback); });
}

}  // namespace

AvLoggedErrors::~AvLoggedErrors() { Stop(); }

void AvLoggedErrors::Watch(const void* context) {
    Stop();
    InstallCallbackOnce();
    count_ = std::make_shared<std::atomic<std::int64_t>>(0);
    context_ = context;
    std::lock_guard lock(watchedMutex);
    watched[context_] = count_;
}

void AvLoggedErrors::Stop() {
    if (!context_) return;
    std::lock_guard lock(watchedMutex);
    watched.erase(context_);
    context_ = nullptr;
}

}  // namespace tessival::media

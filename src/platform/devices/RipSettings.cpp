#include "platform/devices/RipSettings.h"

#include <mutex>

namespace tessival {
namespace {

std::mutex settingsMutex;
RipSettings settings;  // guarded by settingsMutex

}  // namespace

RipSettings RipSettings::Current() {
    std::lock_guard lock(settingsMutex);
    return settings;
}

void RipSettings::Set(const RipSettings& next) {
    std::lock_guard lock(settingsMutex);
    settings = next;
}

}  // namespace tessival

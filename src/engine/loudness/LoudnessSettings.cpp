#include "engine/loudness/LoudnessSettings.h"

#include <mutex>

namespace tessival {
namespace {

std::mutex settingsMutex;
LoudnessSettings settings;  // guarded by settingsMutex

}  // namespace

LoudnessSettings LoudnessSettings::Current() {
    std::lock_guard lock(settingsMutex);
    return settings;
}

void LoudnessSettings::Set(const LoudnessSettings& next) {
    std::lock_guard lock(settingsMutex);
    settings = next;
}

}  // namespace tessival

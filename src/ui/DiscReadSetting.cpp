#include "ui/DiscReadSetting.h"

#include <algorithm>

#include "platform/devices/RipSettings.h"
#include "ui/ProgramSettings.h"

namespace tessival {
namespace {

const QString kLookUpKey = QStringLiteral("disc/lookUp");
const QString kTestAndCopyKey = QStringLiteral("disc/testAndCopy");
const QString kReadOffsetKey = QStringLiteral("disc/readOffset");

template <typename Change>
void ChangeAndKeep(Change change) {
    RipSettings settings = RipSettings::Current();
    change(settings);
    RipSettings::Set(settings);
    if (auto kept = ProgramSettings()) {
        kept->setValue(kLookUpKey, settings.lookUp);
        kept->setValue(kTestAndCopyKey, settings.testAndCopy);
        kept->setValue(kReadOffsetKey, settings.readOffset);
    }
}

}  // namespace

void ApplyKeptDiscReadSettings() {
    auto kept = ProgramSettings();
    if (!kept) return;
    RipSettings settings = RipSettings::Current();
    settings.lookUp = kept->value(kLookUpKey, false).toBool();
    settings.testAndCopy = kept->value(kTestAndCopyKey, false).toBool();
    // A hand-edited settings file gets no offset a drive cannot have.
    settings.readOffset = std::clamp(kept->value(kReadOffsetKey, 0).toInt(), -RipSettings::kMostReadOffset,
                                     RipSettings::kMostReadOffset);
    RipSettings::Set(settings);
}

void SetDiscLookUp(bool on) {
    ChangeAndKeep([on](RipSettings& settings) { settings.lookUp = on; });
}

void SetDiscTestAndCopy(bool on) {
    ChangeAndKeep([on](RipSettings& settings) { settings.testAndCopy = on; });
}

void SetDriveReadOffset(int samples) {
    ChangeAndKeep([samples](RipSettings& settings) { settings.readOffset = samples; });
}

}  // namespace tessival

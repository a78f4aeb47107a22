#include "ui/Id3VersionSetting.h"

#include "platform/media/filters/sinks/MuxerDest.h"
#include "ui/ProgramSettings.h"

namespace tessival {
namespace {

const QString kKey = QStringLiteral("tags/id3Version");

}  // namespace

void ApplyKeptId3Version() {
    if (auto settings = ProgramSettings()) media::MuxerDest::SetId3Version(settings->value(kKey, 4).toInt());
}

int Id3Version() { return media::MuxerDest::Id3Version(); }

void SetId3Version(int version) {
    media::MuxerDest::SetId3Version(version);
    if (auto settings = ProgramSettings()) settings->setValue(kKey, media::MuxerDest::Id3Version());
}

}  // namespace tessival

// An item's loudness: measured where its encoder takes the audio, written as gain tags once its
// file is finished.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/conversion/ItemConversion.h"
#include "engine/conversion/Preflight.h"
#include "engine/loudness/AlbumGainBook.h"
#include "engine/loudness/GainTagWriter.h"
#include "engine/loudness/ItemLoudness.h"
#include "engine/loudness/LoudnessSettings.h"
#include "engine/loudness/NormalizingGain.h"
#include "engine/loudness/SourceLoudnessCache.h"
#include "joblist/SourceKind.h"
#include "platform/io/PendingCommit.h"
#include "joblist/TextField.h"
#include "platform/media/IPcmTap.h"
#include "platform/media/QueryInterface.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

using namespace media;

namespace {

std::string Decibels(double db) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", db);
    return text;
}

}  // namespace

bool ItemConversion::AttachLoudness() {
    const LoudnessSettings settings = LoudnessSettings::Current();
    if (!settings.Measures()) return true;
    const auto host = QueryInterface<IPcmTapHost>(encoderFilter_);
    if (!host) return true;
    double gain = 1.0;
    if (settings.normalizeTo && !NormalizingFactor(*settings.normalizeTo, settings.truePeakCeiling, gain)) return false;
    loudness_ = std::make_shared<ItemLoudness>(gain);
    host->SetPcmTap(loudness_);
    return true;
}

// A first pass over a file source (read back from the cache when it did not change) gives its
// gain; sources without a file (discs, capture) and sources it cannot read keep their level.
// False only when a Stop came during the pass.
bool ItemConversion::NormalizingFactor(double target, double ceiling, double& factor) {
    if (SourceKindOf(item_) != SourceKind::File) return true;
    const auto source = SourceLoudnessCache::Shared().Measure(ReadField(item_.sourcePath), services_.halt.HaltedFlag());
    if (services_.halt.HaltedFlag()) return false;
    if (!source) return true;
    const NormalizingGain gain = GainToTarget(*source, target, ceiling);
    factor = gain.Factor();
    if (gain.limited) outcome_.note = LoadString(IDS_NORMALIZE_PEAK_LIMITED, {Decibels(gain.db), Decibels(gain.wantedDb)});
    return true;
}

void ItemConversion::TagLoudness() {
    const ReplayGainMode mode = LoudnessSettings::Current().replayGain;
    if (mode == ReplayGainMode::Off) return;
    // Gain tags are written into the file under its own name: it must have got there first.
    if (outcome_.commit) outcome_.SettleCommit(outcome_.commit->Wait());
    const std::string output = DestinationFileName(item_);
    if (!outcome_.converted || !loudness_ || services_.halt.HaltedFlag() || !outcome_.keptBeside.empty()) {
        if (mode == ReplayGainMode::Album) AlbumGainBook::Shared().ItemFailed(output);
        return;
    }
    const std::shared_ptr<const LoudnessMeter> heard(loudness_, &loudness_->Meter());
    const int error = mode == ReplayGainMode::Album
                          ? AlbumGainBook::Shared().ItemConverted(output, heard, services_.halt.HaltedFlag())
                          : WriteGainTags(output, heard->Reading(), nullptr);
    // Types that carry no gain tags (WAVE) convert as they did.
    if (error == 0 || error == ENOTSUP) return;
    outcome_.converted = false;
    Fail(0);
    outcome_.detail = LoadString(IDS_ALBUM_TAGS_FAILED, {output, std::strerror(error)});
}

void ItemConversion::KeepLoudnessReading() {
    if (outcome_.converted && loudness_ && !services_.halt.HaltedFlag() && outcome_.keptBeside.empty())
        outcome_.loudness = loudness_->Meter().Reading();
}

}  // namespace tessival

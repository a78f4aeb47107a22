#include "ui/MeasuredLoudness.h"

#include <cstdio>

#include "engine/conversion/Preflight.h"
#include "engine/loudness/GainTags.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

std::string Fixed(double value, const char* format) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string MeasuredLoudness::Key(const ConvertItem& item) {
    return ReadField(item.sourcePath) + '\n' + DestinationFileName(item);
}

void MeasuredLoudness::Record(const ConvertItem& item, const media::LoudnessReading& reading) {
    readings_[Key(item)] = reading;
}

const media::LoudnessReading* MeasuredLoudness::Find(const ConvertItem& item) const {
    const auto found = readings_.find(Key(item));
    return found == readings_.end() ? nullptr : &found->second;
}

QString MeasuredLoudness::Describe(const media::LoudnessReading& reading) {
    if (!reading.Heard()) return QString::fromStdString(LoadString(IDS_MEASURED_SILENCE));
    return QString::fromStdString(LoadString(
        IDS_MEASURED_LOUDNESS, {Fixed(reading.integrated, "%.1f"), Fixed(reading.range, "%.1f"),
                                Fixed(reading.TruePeakDb(), "%.2f"), GainText(ReplayGainDb(reading))}));
}

}  // namespace tessival

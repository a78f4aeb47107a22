#pragma once

#include <QString>
#include <map>
#include <string>

#include "joblist/ConvertItem.h"
#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

// What the outputs converted in this session measured, by item: an item whose source or
// destination changed since has no reading, as its output would be another. Window's thread only.
class MeasuredLoudness {
public:
    void Record(const ConvertItem& item, const media::LoudnessReading& reading);
    // Null when the item was not converted with its loudness measured in this session.
    const media::LoudnessReading* Find(const ConvertItem& item) const;

    // The reading in a line: integrated loudness, range, true peak and the ReplayGain gain.
    static QString Describe(const media::LoudnessReading& reading);

private:
    static std::string Key(const ConvertItem& item);

    std::map<std::string, media::LoudnessReading> readings_;
};

}  // namespace tessival

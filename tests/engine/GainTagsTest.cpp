#include "engine/loudness/GainTags.h"

#include <gtest/gtest.h>

namespace tessival {
namespace {

media::LoudnessReading Reading(double integrated, double truePeak) {
    media::LoudnessReading reading;
    reading.integrated = integrated;
    reading.truePeak = truePeak;
    return reading;
}

TEST(GainTags, TrackAndAlbumTagsForEachKindOfFile) {
    struct Case {
        media::LoudnessReading reading;
        bool opus;
        TagFields track;
        TagFields album;
    } cases[] = {
        {Reading(-11.48, 0.988553), false,
         {{"REPLAYGAIN_TRACK_GAIN", "-6.52 dB"}, {"REPLAYGAIN_TRACK_PEAK", "0.988553"}},
         {{"REPLAYGAIN_ALBUM_GAIN", "-6.52 dB"}, {"REPLAYGAIN_ALBUM_PEAK", "0.988553"}}},
        {Reading(-23.0, 0.1), false,
         {{"REPLAYGAIN_TRACK_GAIN", "5.00 dB"}, {"REPLAYGAIN_TRACK_PEAK", "0.100000"}},
         {{"REPLAYGAIN_ALBUM_GAIN", "5.00 dB"}, {"REPLAYGAIN_ALBUM_PEAK", "0.100000"}}},
        {Reading(-17.996, 1.2), false,
         {{"REPLAYGAIN_TRACK_GAIN", "0.00 dB"}, {"REPLAYGAIN_TRACK_PEAK", "1.200000"}},
         {{"REPLAYGAIN_ALBUM_GAIN", "0.00 dB"}, {"REPLAYGAIN_ALBUM_PEAK", "1.200000"}}},
        // Q7.8 to -23 LUFS: -6.5 dB is -1664.
        {Reading(-16.5, 0.9), true, {{"R128_TRACK_GAIN", "-1664"}}, {{"R128_ALBUM_GAIN", "-1664"}}},
        {Reading(-30.0, 0.9), true, {{"R128_TRACK_GAIN", "1792"}}, {{"R128_ALBUM_GAIN", "1792"}}},
        {Reading(-200.0, 0.0), true, {{"R128_TRACK_GAIN", "32767"}}, {{"R128_ALBUM_GAIN", "32767"}}},
        // Silence has no loudness to correct.
        {media::LoudnessReading{}, false, {}, {}},
        {media::LoudnessReading{}, true, {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrackGainTags(c.reading, c.opus), c.track) << c.reading.integrated;
        EXPECT_EQ(AlbumGainTags(c.reading, c.opus), c.album) << c.reading.integrated;
    }
}

}  // namespace
}  // namespace tessival

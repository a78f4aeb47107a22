#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessival::media {

// One field of the music's tags and how each tag format spells it. The nine fields the program
// has always carried keep libavformat's generic keys ("title", "track", ...); every other field
// is named as in Vorbis comments ("COMPOSER", "REPLAYGAIN_TRACK_GAIN", ...).
struct TagField {
    const char* key;     // the name in MediaTags
    const char* vorbis;  // the Vorbis comment name (FLAC, Ogg Vorbis, Opus)
    // The ID3v2.4 frame: a text frame id ("TIT2"), "COMM", "USLT", "TXXX:description" or
    // "UFID:owner"; id3v23 when ID3v2.3 names it otherwise, else null.
    const char* id3;
    const char* id3v23;
    // The MP4 atom: a text atom ("\251nam"), a typed one ("trkn", "disk", "tmpo", "cpil") or
    // "----:name" for a freeform atom under com.apple.iTunes.
    const char* mp4;
    // Other names readers give the field: libavformat's keys for it, other taggers' spellings.
    std::vector<const char*> aliases;
};

// Every field, the nine first.
const std::vector<TagField>& TagFields();

// The field a name stands for in any of the formats above (case does not matter); null when the
// name is no field of the table, and its text passes through under its own name.
const TagField* FindTagField(std::string_view name);

// The field an MP4 item atom that is no freeform one stands for ("\251nam", "trkn"); null for
// atoms the table does not name.
const TagField* FindMp4ItemField(std::string_view atom);

// The MediaTags key for a name a reader gave: the field's key, the name itself for a text the
// table does not know, or empty for what describes the file rather than the music (encoder,
// container brands, gapless data, channel masks, embedded pictures) and is never carried.
std::string TagKeyFor(std::string_view name);

// The number before a "/" and the count after it ("3/12"); either may be empty.
struct NumberOfTotal {
    std::string number;
    std::string total;
};
NumberOfTotal SplitNumberOfTotal(std::string_view text);

// ID3v2 keeps only one COMM or USLT frame per description: a field's first value goes to the
// frame without one, its n-th value (n from 2) to the frame described by the number n. Readers
// take such frames for values of the field itself.
std::string RepeatedFrameDescription(std::size_t valueIndex);
bool IsRepeatedFrameDescription(std::string_view description);

// The genre an ID3v1 genre number stands for (0 "Blues" ... 191), which ID3v2 and MP4 files
// still give in place of the name; empty for numbers past the list.
std::string GenreName(int number);

// The ID3v2 and FLAC picture types (3 front cover, 4 back cover, ...) by the names libavformat
// gives them in a picture stream's "comment"; an unknown name is a front cover.
const char* PictureTypeName(int type);
int PictureTypeFromName(std::string_view name);

}  // namespace tessival::media

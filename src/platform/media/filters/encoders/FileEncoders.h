#pragma once

#include <cstdint>

#include "platform/media/FilterRegistry.h"

namespace tessival::media {

// The encoders behind the destination types that write a file of their own container. They sit in
// a category of their own, so they are not offered as compressors for WAVE files.
inline constexpr Guid CLSID_FileEncoderCategory{0x5E1F0A10, 0x7C3B, 0x4D21, {0x9A, 0x6E, 0x31, 0x0B, 0x8C, 0x4F, 0x22, 0x01}};

// Their output formats are QualityInfo records like every other encoder's; the fields carry the
// choice so that two choices never compare as the same quality:
//   wFormatTag      the codec (0x0055 MP3, 0xF1AC FLAC, 0x6771 Vorbis, 0x704F Opus, 0x00FF AAC);
//   nChannels, nSamplesPerSec   as they are;
//   wBitsPerSample  16 or 24 for FLAC, 0 for the lossy codecs;
//   for FLAC, nSamplesPerSec 0 with wBitsPerSample 0 keeps the source's rate and bits (16 for a source
//                   of up to 16 bits, else 24), so the file decodes to the source's very samples;
//   nAvgBytesPerSec the target bit rate in kbps x 125 for MP3 CBR, Vorbis, Opus and AAC;
//                   for MP3 VBR level V (0 best .. 9 smallest) the level's typical rate x 125 + 1 + V,
//                   so the remainder by 125 (1..10) marks VBR and names the level while the kbps shown
//                   stays the typical rate; for FLAC compression level L (0 fastest .. 8 smallest) L x 125,
//                   so the kbps shown is the level.
inline constexpr std::uint16_t WAVE_FORMAT_FLAC_FILE = 0xF1AC;
inline constexpr std::uint16_t WAVE_FORMAT_VORBIS_FILE = 0x6771;
inline constexpr std::uint16_t WAVE_FORMAT_OPUS_FILE = 0x704F;
inline constexpr std::uint16_t WAVE_FORMAT_AAC_FILE = 0x00FF;

// The MP3 VBR level a byte rate stands for, or -1 for a constant bit rate.
int Mp3VbrLevel(std::uint32_t avgBytesPerSec);

struct FileEncoders {
    static FilterEntry LameMp3Entry();  // "LAME MP3 Encoder" (libmp3lame, CBR and VBR)
    static FilterEntry FlacEntry();     // "FLAC Encoder"
    static FilterEntry VorbisEntry();   // "Vorbis Encoder" (libvorbis)
    static FilterEntry OpusEntry();     // "Opus Encoder" (libopus)
    static FilterEntry AacEntry();      // "AAC Encoder" (FFmpeg's aac)
};

}  // namespace tessival::media

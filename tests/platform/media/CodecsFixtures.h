#pragma once

// One small file of every source type, made by ffmpeg: a two-tone stereo sound, with a test
// picture for the types that carry video.
#include <ostream>
#include <string>

#include "platform/media/CodecsChain.h"
#include "platform/media/MediaFixtures.h"

namespace tessival::media::test {

struct SourceCase {
    const char* name;
    const char* file;
    ChainKind chain;
    const char* ffmpegOutput;  // codecs and muxer options after the audio (and video) inputs
    bool withVideo;
    bool videoFirst;           // video mapped as the first stream
    int frame;                 // samples per codec frame: the length tolerance
    const char* parser;        // the filter that RenderFile puts after the file source, if any
    const char* decoder;       // the decoder RenderFile picks, if the audio is compressed
};

inline void PrintTo(const SourceCase& c, std::ostream* out) { *out << c.name; }

inline constexpr const char* kVideo = "-f lavfi -i testsrc=duration=2.5:size=352x240:rate=25 ";

inline bool MakeSource(const SourceCase& c, const std::string& path) {
    std::string inputs = "-f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=2.5' "
                         "-f lavfi -i 'sine=frequency=1250:sample_rate=44100:duration=2.5' ";
    std::string maps = "-filter_complex '[0][1]amerge=inputs=2,pan=stereo|c0=0.8*c0|c1=0.7*c1,volume=4[a]' ";
    if (c.withVideo) {
        inputs += kVideo;
        maps += c.videoFirst ? "-map 2:v -map '[a]' " : "-map '[a]' -map 2:v ";
    } else {
        maps += "-map '[a]' ";
    }
    return RunProcess("ffmpeg -nostdin -v error -y " + inputs + maps + c.ffmpegOutput + " " + ShellQuote(path))
               .exitCode == 0;
}

inline const SourceCase kSourceCases[] = {
    {"Wma", "a.wma", ChainKind::WindowsMedia, "-c:a wmav2 -b:a 128k", false, false, 2048, nullptr,
     "Windows Media Audio Decoder"},
    {"WmaVersion1InAsf", "a.asf", ChainKind::WindowsMedia, "-c:a wmav1 -b:a 96k", false, false, 2048, nullptr,
     "Windows Media Audio Decoder"},
    {"Wmv", "a.wmv", ChainKind::WindowsMedia, "-c:v wmv2 -c:a wmav2 -b:a 128k -f asf", true, true, 2048, nullptr,
     "Windows Media Audio Decoder"},
    {"MpegOneWithMp2", "a.mpg", ChainKind::Mpeg, "-c:v mpeg1video -c:a mp2 -b:a 192k -f mpeg", true, true, 1152,
     "MPEG-I Stream Splitter", "MPEG Audio Decoder"},
    {"VideoCd", "a.dat", ChainKind::Mpeg, "-target pal-vcd", true, true, 1152, "MPEG-I Stream Splitter",
     "MPEG Audio Decoder"},
    {"DvdWithAc3", "a.vob", ChainKind::Vob, "-target pal-dvd -ar 48000 -c:a ac3 -b:a 192k", true, true, 1536,
     "MPEG-2 Splitter", "AC3Filter"},
    {"AviAudioFirst", "a0.avi", ChainKind::Avi, "-c:a libmp3lame -b:a 128k -c:v mjpeg", true, false, 1152,
     "AVI Splitter", "MPEG Layer-3 Decoder"},
    {"AviAudioSecond", "a1.avi", ChainKind::Avi, "-c:v mjpeg -c:a pcm_s16le", true, true, 0, "AVI Splitter", nullptr},
    {"Wave", "a.wav", ChainKind::Wave, "-c:a pcm_s16le", false, false, 0, "Wave Parser", nullptr},
    {"Mp3ConstantWithId3", "cbr.mp3", ChainKind::Mp3, "-c:a libmp3lame -b:a 128k -id3v2_version 3 -metadata title=Tone",
     false, false, 1152, "MPEG-I Stream Splitter", "MPEG Layer-3 Decoder"},
    {"Mp3VariableWithId3", "vbr.mp3", ChainKind::Mp3, "-c:a libmp3lame -q:a 4 -id3v2_version 4 -metadata artist=Test",
     false, false, 1152, "MPEG-I Stream Splitter", "MPEG Layer-3 Decoder"},
    {"Mp2", "a.mp2", ChainKind::Mpeg, "-c:a mp2 -b:a 160k", false, false, 1152, "MPEG-I Stream Splitter",
     "MPEG Audio Decoder"},
};

}  // namespace tessival::media::test

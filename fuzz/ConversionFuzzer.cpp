// One item's whole conversion, as the run does it, from a source file holding the input, with
// the rules every conversion keeps: a failed item leaves no file (and an older file intact), a
// converted one leaves a valid RIFF WAVE that FFmpeg decodes to finite samples and to no more
// audio than FFmpeg finds in the source, and no temporary file is ever left behind.
//
// Input: one selector byte, then the source file's bytes. Selector bits 0-2 pick the source's
// extension (so its typed chain), bit 3 the destination (PCM or MP3 in WAVE), bit 4 whether an
// older destination file exists.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "AudioOracle.h"
#include "FuzzSupport.h"
#include "engine/ConvertEngine.h"
#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "platform/shell/ConsoleShell.h"

using namespace tessival;

namespace {

constexpr const char* kExtensions[] = {"wav", "mp3", "wma", "avi", "mpg", "vob", "dat", "asf"};
// FFmpeg's demuxer for what each extension's typed chain reads the file as.
constexpr const char* kFfmpegFormats[] = {"wav", "mp3", "asf", "avi", "mpeg", "mpeg", "mpeg", "asf"};
// A WAVE of two 8-bit samples: a file that is audio, so a conversion may replace it.
const std::string kOlderFile("RIFF\x26\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0"
                             "data\x02\0\0\0\x80\x80", 46);
constexpr QualityInfo kPcmMono22k{1, 1, 22050, 44100, 2, 16, 0};
constexpr QualityInfo kMp3Mono22k{0x55, 1, 22050, 4000, 1, 0, 12};

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

bool IsValidRiffWave(const std::string& bytes) {
    return bytes.size() >= 12 && bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "WAVE") == 0 &&
           U32(bytes, 4) == bytes.size() - 8;
}

// MP3 in WAVE carries no note of its encoder's delay and padding, which FFmpeg then decodes as
// audio: at 22050 Hz up to about 2300 samples.
constexpr double kLengthSlackSeconds = 0.12;

void CheckDecodedOutput(const std::string& dest, const std::string& source, const char* formatName) {
    const auto output = fuzz::DecodeWithFfmpeg(dest);
    fuzz::Require(output.has_value(), "FFmpeg decodes a converted item");
    fuzz::Require(output->finite, "a converted item's samples are finite numbers");
    // The source's length bounds what a conversion may make of it: what FFmpeg decodes or what the
    // container declares (FFmpeg stops at the first failed read, our splitters skip past it), read
    // as FFmpeg guesses it or as the type its name gives (bytes can be both an MPEG stream and MP3
    // frames).
    const auto longest = [](const std::optional<fuzz::DecodedAudio>& source) {
        return source ? std::max(source->seconds, source->declaredSeconds) : 0.0;
    };
    const auto guessed = fuzz::DecodeWithFfmpeg(source);
    const auto named = fuzz::DecodeWithFfmpeg(source, formatName);
    if (guessed || named) {
        const double most = std::max(longest(guessed), longest(named));
        fuzz::Require(output->seconds <= most + kLengthSlackSeconds,
                      "a converted item is no longer than the audio in its source");
    }
}

void CheckOutputRules(const std::string& outFolder, const std::string& source, const char* formatName,
                      bool converted, bool hadOlder) {
    const std::string dest = outFolder + "/out.wav";
    for (const auto& entry : std::filesystem::directory_iterator(outFolder))
        fuzz::Require(entry.path() == dest, "no temporary or partial file is left beside the destination");
    const bool exists = std::filesystem::exists(dest);
    if (converted) {
        fuzz::Require(exists && IsValidRiffWave(fuzz::ReadFile(dest)), "a converted item is a valid RIFF WAVE");
        CheckDecodedOutput(dest, source, formatName);
    } else if (hadOlder) {
        fuzz::Require(exists && fuzz::ReadFile(dest) == kOlderFile, "a failed item keeps the older file intact");
    } else {
        fuzz::Require(!exists, "a failed item leaves no file");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const fuzz::ScratchFolder folder;
    static ConsoleShell shell;
    static ConvertEngine engine(shell);

    folder.Clear();
    const std::uint8_t selector = data[0];
    const std::string source = folder.File(std::string("source.") + kExtensions[selector & 7]);
    const std::string outFolder = folder.File("out");
    fuzz::WriteFile(source, data + 1, size - 1);
    std::filesystem::create_directory(outFolder);
    const bool hadOlder = (selector & 0x10) != 0;
    if (hadOlder) fuzz::WriteFile(outFolder + "/out.wav", reinterpret_cast<const std::uint8_t*>(kOlderFile.data()),
                                  kOlderFile.size());

    ConvertItem item = MakeSingleFileItem(source);
    WriteField(item.destPath, outFolder);
    WriteField(item.destName, "out.wav");
    const bool mp3 = (selector & 0x08) != 0;
    WriteField(item.destType, mp3 ? "WAV (MPEG Layer-3)" : "WAV (PCM)");
    item.quality = mp3 ? kMp3Mono22k : kPcmMono22k;

    const bool converted = engine.ConvertCurrentItem(item).converted;
    CheckOutputRules(outFolder, source, kFfmpegFormats[selector & 7], converted, hadOlder);
    return 0;
}

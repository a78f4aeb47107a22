#include "platform/media/filters/encoders/FileEncoders.h"

#include <algorithm>
#include <array>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "platform/media/ffmpeg/AvPtr.h"
#include "platform/media/filters/encoders/LavcAudioEncoder.h"
#include "platform/media/filters/encoders/VorbisEncoder.h"

namespace tessival::media {
namespace {

// Typical stereo rates of LAME's VBR levels V0 .. V9, in kbps.
constexpr std::array<std::uint32_t, 10> kVbrTypicalKbps = {245, 225, 190, 175, 165, 130, 115, 100, 85, 65};
constexpr std::uint32_t kFlacDefaultLevel = 5;

WAVEFORMATEX Choice(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint32_t avgBytes,
                    std::uint16_t bits) {
    WAVEFORMATEX wave;
    wave.wFormatTag = tag;
    wave.nChannels = channels;
    wave.nSamplesPerSec = rate;
    wave.nAvgBytesPerSec = avgBytes;
    wave.nBlockAlign = 1;
    wave.wBitsPerSample = bits;
    return wave;
}

// Every rate x channels x bit rate, in that order.
std::vector<WAVEFORMATEX> BitRateChoices(std::uint16_t tag, std::initializer_list<std::uint32_t> rates,
                                         std::initializer_list<std::uint32_t> kbps) {
    std::vector<WAVEFORMATEX> all;
    for (std::uint32_t rate : rates)
        for (std::uint16_t channels : {1, 2})
            for (std::uint32_t k : kbps) all.push_back(Choice(tag, channels, rate, k * 125, 0));
    return all;
}

std::vector<WAVEFORMATEX> Mp3Choices() {
    std::vector<WAVEFORMATEX> all = BitRateChoices(
        WAVE_FORMAT_MPEGLAYER3, {32000, 44100, 48000}, {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320});
    for (std::uint32_t rate : {32000, 44100, 48000})
        for (std::uint16_t channels : {1, 2})
            for (std::uint32_t level = 0; level < kVbrTypicalKbps.size(); ++level)
                all.push_back(Choice(WAVE_FORMAT_MPEGLAYER3, channels, rate, kVbrTypicalKbps[level] * 125 + 1 + level, 0));
    return all;
}

// The source's own rate and bits come first: they are the suggested choice.
std::vector<WAVEFORMATEX> FlacChoices() {
    std::vector<WAVEFORMATEX> all;
    for (std::uint16_t channels : {1, 2})
        for (std::uint32_t level = 0; level <= 8; ++level)
            all.push_back(Choice(WAVE_FORMAT_FLAC_FILE, channels, 0, level * 125, 0));
    for (std::uint32_t rate : {44100, 48000, 96000})
        for (std::uint16_t bits : {16, 24})
            for (std::uint16_t channels : {1, 2})
                for (std::uint32_t level = 0; level <= 8; ++level)
                    all.push_back(Choice(WAVE_FORMAT_FLAC_FILE, channels, rate, level * 125, bits));
    // The source in every respect, channels too (5.1 stays 5.1).
    for (std::uint32_t level = 0; level <= 8; ++level)
        all.push_back(Choice(WAVE_FORMAT_FLAC_FILE, kSourceChannels, 0, level * 125, 0));
    return all;
}

// FLAC holds up to 24 bits and 8 channels here; a narrower source is widened to 16, which loses nothing.
WAVEFORMATEX FlacAtSource(const WAVEFORMATEX& choice, const WAVEFORMATEX& source) {
    constexpr std::uint16_t kFlacMaxChannels = 8;
    WAVEFORMATEX wave = choice;
    wave.nSamplesPerSec = source.nSamplesPerSec;
    if (choice.nChannels == kSourceChannels) wave.nChannels = std::min(source.nChannels, kFlacMaxChannels);
    wave.wBitsPerSample = source.wBitsPerSample > 16 ? 24 : 16;
    return wave;
}

void CountInSamples(AVCodecContext& context) { context.time_base = AVRational{1, context.sample_rate}; }

void ConfigureMp3(AVCodecContext& context, const WAVEFORMATEX& format) {
    CountInSamples(context);
    const int level = Mp3VbrLevel(format.nAvgBytesPerSec);
    if (level < 0) return;
    context.flags |= AV_CODEC_FLAG_QSCALE;
    context.global_quality = level * FF_QP2LAMBDA;
    context.bit_rate = 0;
}

void ConfigureFlac(AVCodecContext& context, const WAVEFORMATEX& format) {
    CountInSamples(context);
    context.compression_level = static_cast<int>(format.nAvgBytesPerSec / 125);
    context.sample_fmt = format.wBitsPerSample > 16 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
    context.bits_per_raw_sample = format.wBitsPerSample;
    context.bit_rate = 0;
}

void ConfigureLossy(AVCodecContext& context, const WAVEFORMATEX&) { CountInSamples(context); }

AvCodecParametersPtr ParametersOf(const AVCodecContext& context) {
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    if (parameters && avcodec_parameters_from_context(parameters.get(), &context) < 0) parameters.reset();
    return parameters;
}

MediaType TypeWith(AvCodecParametersPtr parameters, const WAVEFORMATEX& choice) {
    MediaType type = MediaType::Audio(choice);
    type.codecParameters = std::move(parameters);
    return type;
}

// The muxer needs the opened encoder's full parameters (extradata, delay), not just the wave format.
MediaType DescribeWithParameters(const AVCodecContext& context, const WAVEFORMATEX& choice) {
    return TypeWith(ParametersOf(context), choice);
}

// LAME's parameters differ between the choices of one rate and channel count only in the bit
// rate, so one encoder describes them all. Opus and AAC, too, open at every bit rate offered for
// a rate and channel count once they open at one.
std::uint32_t ProbePerRateAndChannels(const WAVEFORMATEX& choice) {
    return choice.nSamplesPerSec * 8 + choice.nChannels;
}

// Whether FLAC opens turns on the rate, channels and bits, never on the level.
std::uint32_t ProbePerRateChannelsAndBits(const WAVEFORMATEX& choice) {
    return choice.nSamplesPerSec * 1024 + choice.wBitsPerSample * 16u + choice.nChannels;
}

MediaType DescribeMp3Choice(const AVCodecContext& context, const WAVEFORMATEX& choice) {
    AvCodecParametersPtr parameters = ParametersOf(context);
    const bool vbr = Mp3VbrLevel(choice.nAvgBytesPerSec) >= 0;
    if (parameters) parameters->bit_rate = vbr ? 0 : std::int64_t{choice.nAvgBytesPerSec} * 8;
    return TypeWith(std::move(parameters), choice);
}

FilterEntry FileEncoderEntry(const char* name, const Guid& clsid) {
    FilterEntry entry;
    entry.category = CLSID_FileEncoderCategory;
    entry.clsid = clsid;
    entry.friendlyName = name;
    entry.merit = MERIT_DO_NOT_USE;
    entry.inputTypes = {MediaTypePattern(MEDIATYPE_Audio, MEDIASUBTYPE_PCM)};
    return entry;
}

FilterEntry EncoderEntry(const char* name, const EncoderProfile& profile) {
    FilterEntry entry = FileEncoderEntry(name, profile.clsid);
    entry.factory = [&profile] { return std::make_shared<LavcAudioEncoder>(profile); };
    return entry;
}

Guid EncoderClass(std::uint16_t tag) {
    return {0x5E1F0B00u + tag, 0x7C3B, 0x4D21, {0x9A, 0x6E, 0x31, 0x0B, 0x8C, 0x4F, 0x22, 0x02}};
}

}  // namespace

int Mp3VbrLevel(std::uint32_t avgBytesPerSec) {
    const std::uint32_t mark = avgBytesPerSec % 125;
    return mark >= 1 && mark <= kVbrTypicalKbps.size() ? static_cast<int>(mark) - 1 : -1;
}

FilterEntry FileEncoders::LameMp3Entry() {
    static const EncoderProfile profile{EncoderClass(WAVE_FORMAT_MPEGLAYER3), "libmp3lame", Mp3Choices(),
                                        DescribeMp3Choice, ConfigureMp3, ProbePerRateAndChannels, true};
    return EncoderEntry("LAME MP3 Encoder", profile);
}

FilterEntry FileEncoders::FlacEntry() {
    static const EncoderProfile profile{EncoderClass(WAVE_FORMAT_FLAC_FILE), "flac", FlacChoices(),
                                        DescribeWithParameters, ConfigureFlac, ProbePerRateChannelsAndBits, true,
                                        FlacAtSource, kFlacDefaultLevel * 125, false, true};
    return EncoderEntry("FLAC Encoder", profile);
}

FilterEntry FileEncoders::VorbisEntry() {
    FilterEntry entry = FileEncoderEntry("Vorbis Encoder", EncoderClass(WAVE_FORMAT_VORBIS_FILE));
    entry.factory = [clsid = entry.clsid] {
        // Worked out on first use, for the process: asking libvorbis costs little, but every item asks.
        static const std::vector<MediaType> offered = VorbisEncoder::Offered(
            BitRateChoices(WAVE_FORMAT_VORBIS_FILE, {44100, 48000}, {64, 80, 96, 112, 128, 160, 192, 224, 256, 320}));
        return std::make_shared<VorbisEncoder>(clsid, offered);
    };
    return entry;
}

FilterEntry FileEncoders::OpusEntry() {
    // Opus always runs at 48 kHz inside; other rates are only resampled on the way in or out.
    static const EncoderProfile profile{
        EncoderClass(WAVE_FORMAT_OPUS_FILE), "libopus",
        BitRateChoices(WAVE_FORMAT_OPUS_FILE, {48000}, {24, 32, 48, 64, 96, 128, 160, 192, 256}),
        DescribeWithParameters, ConfigureLossy, ProbePerRateAndChannels, true, nullptr, 16000, false, true};
    return EncoderEntry("Opus Encoder", profile);
}

FilterEntry FileEncoders::AacEntry() {
    static const EncoderProfile profile{
        EncoderClass(WAVE_FORMAT_AAC_FILE), "aac",
        BitRateChoices(WAVE_FORMAT_AAC_FILE, {44100, 48000}, {64, 96, 128, 160, 192, 256, 320}),
        DescribeWithParameters, ConfigureLossy, ProbePerRateAndChannels, true, nullptr, 16000, true, true};
    return EncoderEntry("AAC Encoder", profile);
}

}  // namespace tessival::media

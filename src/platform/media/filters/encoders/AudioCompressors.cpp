#include "platform/media/filters/encoders/AudioCompressors.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

#include "platform/media/filters/encoders/LavcAudioEncoder.h"

namespace tessival::media {
namespace {

constexpr std::uint32_t kClassicRates[] = {8000, 11025, 22050, 44100};

WAVEFORMATEX Candidate(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint32_t avgBytes,
                       std::uint16_t blockAlign, std::uint16_t bits) {
    WAVEFORMATEX wave;
    wave.wFormatTag = tag;
    wave.nChannels = channels;
    wave.nSamplesPerSec = rate;
    wave.nAvgBytesPerSec = avgBytes;
    wave.nBlockAlign = blockAlign;
    wave.wBitsPerSample = bits;
    return wave;
}

void PutLe16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::vector<std::uint8_t> ExtradataOf(const AVCodecContext& context) {
    if (!context.extradata || context.extradata_size <= 0) return {};
    return {context.extradata, context.extradata + context.extradata_size};
}

FilterEntry CompressorEntry(const char* name, std::uint16_t tag, const EncoderProfile& profile) {
    FilterEntry entry;
    entry.category = CLSID_AudioCompressorCategory;
    entry.clsid = AudioCompressorClass(tag);
    entry.friendlyName = name;
    entry.merit = MERIT_DO_NOT_USE;
    entry.inputTypes = {MediaTypePattern(MEDIATYPE_Audio, MEDIASUBTYPE_PCM)};
    entry.factory = [&profile] { return std::make_shared<LavcAudioEncoder>(profile); };
    return entry;
}

// MPEG-1 (32-48 kHz), MPEG-2 (16-24 kHz) and MPEG-2.5 (8-12 kHz) with their legal bit rates.
std::vector<WAVEFORMATEX> Mp3Candidates() {
    struct Family {
        std::vector<std::uint32_t> rates;
        std::vector<std::uint32_t> kbps;
    };
    const Family families[] = {
        {{8000, 11025, 12000}, {8, 16, 24, 32, 40, 48, 56, 64}},
        {{16000, 22050, 24000}, {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
        {{32000, 44100, 48000}, {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    };
    std::vector<WAVEFORMATEX> all;
    for (const Family& family : families)
        for (std::uint32_t rate : family.rates)
            for (std::uint16_t channels : {1, 2})
                for (std::uint32_t kbps : family.kbps)
                    all.push_back(Candidate(WAVE_FORMAT_MPEGLAYER3, channels, rate, kbps * 125, 1, 0));
    return all;
}

// MPEGLAYER3WAVEFORMAT: wID, fdwFlags, nBlockSize, nFramesPerBlock, nCodecDelay. The delay is
// LAME's own, the same at every rate and bit rate.
MediaType DescribeMp3(const AVCodecContext& probe, const WAVEFORMATEX& candidate) {
    const std::uint32_t samplesPerFrame = candidate.nSamplesPerSec >= 32000 ? 1152 : 576;
    std::vector<std::uint8_t> extra;
    PutLe16(extra, 1);  // MPEGLAYER3_ID_MPEG
    PutLe16(extra, 0);  // fdwFlags: ISO padding
    PutLe16(extra, 0);
    PutLe16(extra, samplesPerFrame * candidate.nAvgBytesPerSec / candidate.nSamplesPerSec);
    PutLe16(extra, 1);
    PutLe16(extra, static_cast<unsigned>(probe.initial_padding));
    return MediaType::Audio(candidate, extra);
}

std::vector<WAVEFORMATEX> WindowsMediaCandidates() {
    std::vector<WAVEFORMATEX> all;
    for (std::uint32_t rate : {16000u, 22050u, 32000u, 44100u, 48000u})
        for (std::uint16_t channels : {1, 2})
            for (std::uint32_t kbps : {24u, 32u, 40u, 48u, 64u, 80u, 96u, 128u, 160u, 192u})
                all.push_back(Candidate(WAVE_FORMAT_WMAUDIO2, channels, rate, kbps * 125, 0, 16));
    return all;
}

// The encoder at the candidate's rate gives the frame length and the extra bytes; a superframe
// holds one frame's share of the bit rate.
MediaType DescribeWindowsMedia(const AVCodecContext& probe, const WAVEFORMATEX& candidate) {
    WAVEFORMATEX wave = candidate;
    wave.nBlockAlign = static_cast<std::uint16_t>(static_cast<std::uint64_t>(candidate.nAvgBytesPerSec) *
                                                  probe.frame_size / candidate.nSamplesPerSec);
    return MediaType::Audio(wave, ExtradataOf(probe));
}

std::uint32_t SameProbe(const WAVEFORMATEX&) { return 0; }

std::uint32_t ProbePerRate(const WAVEFORMATEX& candidate) { return candidate.nSamplesPerSec; }

// The classic ACM block sizes: 256 bytes per channel up to 11025 Hz, doubling with the rate.
std::uint16_t ClassicBlockAlign(std::uint32_t rate, std::uint16_t channels) {
    const std::uint32_t factor = rate <= 11025 ? 1 : rate / 11025;
    return static_cast<std::uint16_t>(256 * channels * factor);
}

std::vector<WAVEFORMATEX> AdpcmCandidates(std::uint16_t tag) {
    std::vector<WAVEFORMATEX> all;
    for (std::uint32_t rate : kClassicRates)
        for (std::uint16_t channels : {1, 2})
            all.push_back(Candidate(tag, channels, rate, 0, ClassicBlockAlign(rate, channels), 4));
    return all;
}

void ConfigureBlockSize(AVCodecContext& context, const WAVEFORMATEX& format) {
    av_opt_set_int(context.priv_data, "block_size", format.nBlockAlign, 0);
}

// Block codecs: the byte rate follows from the block and the frames it holds.
WAVEFORMATEX BlockFormat(const AVCodecContext& context, const WAVEFORMATEX& candidate) {
    WAVEFORMATEX wave = candidate;
    wave.nBlockAlign = static_cast<std::uint16_t>(context.block_align);
    wave.nAvgBytesPerSec = static_cast<std::uint32_t>(static_cast<std::uint64_t>(candidate.nSamplesPerSec) *
                                                      context.block_align / context.frame_size);
    return wave;
}

MediaType DescribeWithSamplesPerBlock(const AVCodecContext& context, const WAVEFORMATEX& candidate) {
    std::vector<std::uint8_t> extra;
    PutLe16(extra, static_cast<unsigned>(context.frame_size));
    return MediaType::Audio(BlockFormat(context, candidate), extra);
}

MediaType DescribeMsAdpcm(const AVCodecContext& context, const WAVEFORMATEX& candidate) {
    return MediaType::Audio(BlockFormat(context, candidate), ExtradataOf(context));
}

std::vector<WAVEFORMATEX> GsmCandidates() {
    std::vector<WAVEFORMATEX> all;
    for (std::uint32_t rate : kClassicRates) all.push_back(Candidate(WAVE_FORMAT_GSM610, 1, rate, 0, 65, 0));
    return all;
}

std::vector<WAVEFORMATEX> G711Candidates(std::uint16_t tag) {
    std::vector<WAVEFORMATEX> all;
    for (std::uint32_t rate : kClassicRates)
        for (std::uint16_t channels : {1, 2}) all.push_back(Candidate(tag, channels, rate, rate * channels, channels, 8));
    return all;
}

MediaType DescribeAsIs(const AVCodecContext&, const WAVEFORMATEX& candidate) { return MediaType::Audio(candidate); }

}  // namespace

FilterEntry AudioCompressors::Mp3Entry() {
    static const EncoderProfile profile{AudioCompressorClass(WAVE_FORMAT_MPEGLAYER3), "libmp3lame", Mp3Candidates(),
                                        DescribeMp3, nullptr, SameProbe};
    return CompressorEntry("MPEG Layer-3", WAVE_FORMAT_MPEGLAYER3, profile);
}

FilterEntry AudioCompressors::WindowsMediaEntry() {
    static const EncoderProfile profile{AudioCompressorClass(WAVE_FORMAT_WMAUDIO2), "wmav2", WindowsMediaCandidates(),
                                        DescribeWindowsMedia, nullptr, ProbePerRate};
    return CompressorEntry("Windows Media Audio V2", WAVE_FORMAT_WMAUDIO2, profile);
}

FilterEntry AudioCompressors::ImaAdpcmEntry() {
    static const EncoderProfile profile{AudioCompressorClass(WAVE_FORMAT_IMA_ADPCM), "adpcm_ima_wav",
                                        AdpcmCandidates(WAVE_FORMAT_IMA_ADPCM), DescribeWithSamplesPerBlock,
                                        ConfigureBlockSize};
    return CompressorEntry("IMA ADPCM", WAVE_FORMAT_IMA_ADPCM, profile);
}

FilterEntry AudioCompressors::MsAdpcmEntry() {
    static const EncoderProfile profile{AudioCompressorClass(WAVE_FORMAT_ADPCM), "adpcm_ms",
                                        AdpcmCandidates(WAVE_FORMAT_ADPCM), DescribeMsAdpcm, ConfigureBlockSize};
    return CompressorEntry("Microsoft ADPCM", WAVE_FORMAT_ADPCM, profile);
}

FilterEntry AudioCompressors::Gsm610Entry() {
    // libgsm is specified for 8000 Hz; the other classic rates are the same stream, played faster.
    static const EncoderProfile profile{
        AudioCompressorClass(WAVE_FORMAT_GSM610), "libgsm_ms", GsmCandidates(), DescribeWithSamplesPerBlock,
        [](AVCodecContext& context, const WAVEFORMATEX&) {
            context.strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
            context.bit_rate = 13000;
        }};
    return CompressorEntry("GSM 6.10", WAVE_FORMAT_GSM610, profile);
}

FilterEntry AudioCompressors::ALawEntry() {
    static const EncoderProfile profile{AudioCompressorClass(WAVE_FORMAT_ALAW), "pcm_alaw",
                                        G711Candidates(WAVE_FORMAT_ALAW), DescribeAsIs};
    return CompressorEntry("CCITT A-Law", WAVE_FORMAT_ALAW, profile);
}

FilterEntry AudioCompressors::MuLawEntry() {
    static const EncoderProfile profile{AudioCompressorClass(WAVE_FORMAT_MULAW), "pcm_mulaw",
                                        G711Candidates(WAVE_FORMAT_MULAW), DescribeAsIs};
    return CompressorEntry("CCITT u-Law", WAVE_FORMAT_MULAW, profile);
}

}  // namespace tessival::media

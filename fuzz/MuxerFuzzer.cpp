// Each sink that writes a container of ours ("WAV Dest" and the MP3, FLAC, Ogg and M4A muxer
// sinks) fed real encoded packets in any order, cut short, with any times, durations, trims and
// tags, ended or stopped. The rules: a muxer refuses a case or, given whole packets, writes a
// file FFmpeg opens; FFmpeg decodes no more audio from it than the packets fed hold, all of it
// finite, and it declares no more than that or the times fed say; a single title comes back as
// it went in; no byte lands past the end of what was written.
//
// Input: a profile byte, a flags byte (bit 0 stop instead of ending, bit 1 tags, bit 3 ID3v2.3,
// bits 2 and 4-7 all set one tag value of megabytes), the tags when asked for, then four bytes
// per packet: which packet, its size (up to 199 whole, then cut, 255 empty), a time shift in
// eighths of a packet and a byte of what the sample says (frame count, trims, the encoder's
// final header).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AudioOracle.h"
#include "EncodedStreams.h"
#include "FuzzSupport.h"
#include "FuzzedTags.h"
#include "InputBytes.h"
#include "MemorySink.h"
#include "PushSource.h"
#include "platform/media/filters/sinks/MuxerDest.h"
#include "platform/media/filters/sinks/WavDest.h"

using namespace tessival;
using namespace tessival::media;
using namespace tessival::fuzz;
using media::MediaSample;

namespace {

constexpr std::size_t kMostPackets = 96;
// FFmpeg estimates some lengths from a file's size and bit rate.
constexpr double kDeclaredSlackSeconds = 0.1;

struct Profile {
    const char* ffmpegFormat;
    media::FilterEntry (*entry)();
    EncodedStream (*encode)();
    bool pcm;  // raw samples into "WAV Dest": the packet is any run of the tone's blocks
    // FFmpeg's MP3 reader trusts a file only when a second frame follows the first.
    std::size_t fewestToOpen = 1;
};

EncodedStream Pcm(std::uint16_t tag, std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) {
    EncodedStream stream;
    WAVEFORMATEX format = media::MakePcmFormat(rate, channels, bits);
    format.wFormatTag = tag;
    stream.type = media::MediaType::Audio(format);
    stream.rate = static_cast<int>(rate);
    const std::size_t frames = rate / 4;
    EncodedPacket tone;
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double value = 0.5 * std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / rate);
            if (tag == media::WAVE_FORMAT_IEEE_FLOAT) {
                const float f = static_cast<float>(value);
                tone.bytes.insert(tone.bytes.end(), reinterpret_cast<const std::uint8_t*>(&f), reinterpret_cast<const std::uint8_t*>(&f) + 4);
                continue;
            }
            const auto level = static_cast<std::int32_t>(value * ((1 << (bits - 1)) - 1));
            for (int b = 0; b < bits / 8; ++b)
                tone.bytes.push_back(bits == 8 ? static_cast<std::uint8_t>(level + 128) : static_cast<std::uint8_t>(level >> (8 * b)));
        }
    }
    tone.frames = static_cast<std::int64_t>(frames);
    stream.packets.push_back(std::move(tone));
    stream.mostFrames = 1;  // counted by bytes instead
    return stream;
}

const Profile kProfiles[] = {
    {"wav", &media::WavDest::Entry, [] { return Pcm(media::WAVE_FORMAT_PCM, 8000, 1, 8); }, true},
    {"wav", &media::WavDest::Entry, [] { return Pcm(media::WAVE_FORMAT_PCM, 44100, 2, 16); }, true},
    {"wav", &media::WavDest::Entry, [] { return Pcm(media::WAVE_FORMAT_PCM, 48000, 1, 24); }, true},
    {"wav", &media::WavDest::Entry, [] { return Pcm(media::WAVE_FORMAT_IEEE_FLOAT, 22050, 2, 32); }, true},
    {"mp3", &media::MuxerDest::Mp3Entry, [] { return EncodeWithFfmpeg("libmp3lame", 22050, 1); }, false, 2},
    {"mp3", &media::MuxerDest::Mp3Entry, [] { return EncodeWithFfmpeg("libmp3lame", 44100, 2); }, false, 2},
    {"flac", &media::MuxerDest::FlacEntry, [] { return EncodeWithFfmpeg("flac", 22050, 1); }, false},
    {"flac", &media::MuxerDest::FlacEntry, [] { return EncodeWithFfmpeg("flac", 96000, 2, 24); }, false},
    {"ogg", &media::MuxerDest::OggEntry, [] { return EncodeWithVorbisStream(22050, 1); }, false},
    {"ogg", &media::MuxerDest::OggEntry, [] { return EncodeWithVorbisStream(44100, 2); }, false},
    {"ogg", &media::MuxerDest::OggEntry, [] { return EncodeWithFfmpeg("libopus", 48000, 2); }, false},
    {"mov", &media::MuxerDest::M4aEntry, [] { return EncodeWithFfmpeg("aac", 22050, 1); }, false},
    {"mov", &media::MuxerDest::M4aEntry, [] { return EncodeWithFfmpeg("aac", 44100, 2); }, false},
};
constexpr std::size_t kProfileCount = sizeof kProfiles / sizeof kProfiles[0];

const EncodedStream& StreamOf(std::size_t profile) {
    static std::vector<std::optional<EncodedStream>> streams(kProfileCount);
    if (!streams[profile]) streams[profile] = kProfiles[profile].encode();
    return *streams[profile];
}

// What one packet of the input becomes, and the most audio it can decode to.
struct Fed {
    MediaSample sample;
    std::int64_t mostFrames = 0;
    bool whole = false;
};

Fed CompressedSample(const EncodedStream& stream, InputBytes& input) {
    const EncodedPacket& packet = stream.packets[input.Byte() % stream.packets.size()];
    const std::uint8_t size = input.Byte();
    const auto shift = static_cast<std::int8_t>(input.Byte());
    const std::uint8_t says = input.Byte();
    Fed fed;
    fed.whole = size < 200;
    const std::size_t kept = size < 200 ? packet.bytes.size() : size == 255 ? 0 : packet.bytes.size() * (size - 200) / 55;
    fed.sample.data.assign(packet.bytes.begin(), packet.bytes.begin() + static_cast<std::ptrdiff_t>(kept));
    const std::int64_t first = packet.first + shift * std::max<std::int64_t>(packet.frames, 8) / 8;
    fed.sample.start = first * media::kUnitsPerSecond / stream.rate;
    const std::int64_t frames = (says & 3) == 0 ? packet.frames : (says & 3) == 1 ? 0 : (says & 3) == 2 ? -1 : 2 * packet.frames;
    fed.sample.frameCount = frames;
    fed.sample.stop = (first + std::max<std::int64_t>(frames, 0)) * media::kUnitsPerSecond / stream.rate;
    fed.sample.trimStart = says & 4 ? packet.trimStart + (says >> 6) * 100u : 0;
    fed.sample.trimEnd = says & 8 ? packet.trimEnd + (says >> 6) * 100u : 0;
    if (says & 16) fed.sample.finalHeader = stream.packets.back().finalHeader;
    fed.mostFrames = kept > 0 ? stream.mostFrames : 0;
    return fed;
}

// PCM: a run of the tone's blocks, from anywhere, of any length.
Fed PcmSample(const EncodedStream& stream, InputBytes& input, std::int64_t& position) {
    const std::vector<std::uint8_t>& tone = stream.packets.front().bytes;
    const WAVEFORMATEX& wave = *stream.type.WaveFormat();
    // Whole blocks, as every filter upstream of it delivers them.
    const std::size_t blocks = tone.size() / wave.nBlockAlign;
    const std::size_t from = input.Word() % blocks * wave.nBlockAlign;
    const std::size_t length = std::min<std::size_t>(input.Word() % 2048 * wave.nBlockAlign, tone.size() - from);
    const std::uint8_t says = input.Byte();
    Fed fed;
    fed.whole = length > 0;
    fed.sample.data.assign(tone.begin() + static_cast<std::ptrdiff_t>(from), tone.begin() + static_cast<std::ptrdiff_t>(from + length));
    const std::int64_t frames = static_cast<std::int64_t>(length / wave.nBlockAlign);
    fed.sample.frameCount = (says & 3) == 0 ? frames : (says & 3) == 1 ? -1 : (says & 3) == 2 ? 0 : 3 * frames;
    fed.sample.start = position * media::kUnitsPerSecond / stream.rate;
    position += frames;
    fed.sample.stop = (says & 4 ? position * 4 : position) * media::kUnitsPerSecond / stream.rate;
    fed.mostFrames = static_cast<std::int64_t>(length);  // bytes: summed, then divided by the block
    return fed;
}

struct Chain {
    std::shared_ptr<PushSource> source;
    std::shared_ptr<media::IBaseFilter> muxer;
    std::shared_ptr<MemorySink> sink;

    void StopAll() const {
        source->Stop();
        muxer->Stop();
        sink->Stop();
    }
};

Chain Connect(const Profile& profile, const EncodedStream& stream) {
    Chain chain{std::make_shared<PushSource>(stream.type), profile.entry().factory(), std::make_shared<MemorySink>()};
    std::shared_ptr<media::IPin> muxerIn, muxerOut, sinkIn;
    Require(SUCCEEDED(chain.muxer->FindPin("In", muxerIn)) && SUCCEEDED(chain.muxer->FindPin("Out", muxerOut)) &&
                SUCCEEDED(chain.sink->FindPin("In", sinkIn)),
            "the filters have their pins");
    Require(SUCCEEDED(chain.source->Output().Connect(muxerIn, &stream.type)), "the muxer takes its encoder's type");
    Require(SUCCEEDED(muxerOut->Connect(sinkIn, nullptr)), "the muxer's bytes reach a file sink");
    return chain;
}

struct Outcome {
    bool refused = false;  // the muxer failed the stream (the run would fail and keep no file)
    std::int64_t mostFrames = 0;
    std::size_t wholePackets = 0;
    bool allWhole = true;  // no packet cut short or left empty
    std::int64_t latestEnd = 0;  // in samples: where the last-ending sample says it ends
};

Outcome Feed(const Profile& profile, const EncodedStream& stream, const Chain& chain, InputBytes& input, bool stop) {
    Outcome outcome;
    std::int64_t position = 0, pcmBytes = 0;
    for (std::size_t i = 0; i < kMostPackets && !input.Empty(); ++i) {
        Fed fed = profile.pcm ? PcmSample(stream, input, position) : CompressedSample(stream, input);
        (profile.pcm ? pcmBytes : outcome.mostFrames) += fed.mostFrames;
        outcome.wholePackets += fed.whole;
        outcome.allWhole = outcome.allWhole && fed.whole;
        const std::int64_t end = fed.sample.start * stream.rate / media::kUnitsPerSecond + std::max<std::int64_t>(fed.sample.frameCount, 0);
        outcome.latestEnd = std::max(outcome.latestEnd, end);
        if (FAILED(chain.source->Output().Deliver(fed.sample))) {
            outcome.refused = true;
            return outcome;
        }
    }
    if (profile.pcm) outcome.mostFrames = pcmBytes / stream.type.WaveFormat()->nBlockAlign;
    if (!stop) outcome.refused = FAILED(chain.source->Output().DeliverEndOfStream());
    return outcome;
}

void CheckOutput(const Profile& profile, const EncodedStream& stream, const Outcome& outcome, const MemorySink& sink,
                 const std::optional<std::string>& title) {
    if (sink.Discarded() || sink.Bytes().empty()) {
        Require(outcome.refused || outcome.wholePackets == 0, "a stream with audio in it leaves a file");
        return;
    }
    static const ScratchFolder folder;
    const std::string path = folder.File("out");
    WriteFile(path, sink.Bytes().data(), sink.Bytes().size());
    const auto decoded = DecodeWithFfmpeg(path, profile.ffmpegFormat);
    if (!outcome.refused && outcome.allWhole && outcome.wholePackets >= profile.fewestToOpen)
        Require(decoded.has_value(), "FFmpeg opens a file muxed from whole packets");
    if (!decoded) return;
    Require(decoded->finite, "a muxed file decodes to finite samples");
    // Compared in time: a decoder may give another rate than the stream's.
    Require(decoded->samples * stream.rate <= outcome.mostFrames * std::max(decoded->rate, 1),
            "a muxed file holds no more audio than was fed");
    // What the container declares (and players show) is no longer than the audio fed or the
    // times it came with, give or take a packet.
    const double fedSeconds = static_cast<double>(std::max(outcome.latestEnd, outcome.mostFrames) + stream.mostFrames) / stream.rate;
    Require(decoded->declaredSeconds <= fedSeconds + kDeclaredSlackSeconds, "a muxed file declares no more audio than was fed");
    if (title && !outcome.refused)
        Require(decoded->title == title, "a title comes back as it was written");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputBytes input(data, size);
    const std::size_t which = input.Byte() % kProfileCount;
    const std::uint8_t flags = input.Byte();
    const bool stop = flags & 1;
    // Up to 16 MiB in one value (past what a FLAC metadata block holds) is slow: rarely.
    const media::MediaTags tags = flags & 2 ? ReadTags(input, (flags & 0xF4) == 0xF4 ? 8 : 0) : media::MediaTags{};
    media::MuxerDest::SetId3Version(flags & 8 ? 3 : 4);
    const Profile& profile = kProfiles[which];
    const EncodedStream& stream = StreamOf(which);
    const Chain chain = Connect(profile, stream);
    if (auto tagSink = std::dynamic_pointer_cast<media::ITagSink>(chain.muxer)) tagSink->SetTags(tags);
    const bool started =
        SUCCEEDED(chain.sink->Pause()) && SUCCEEDED(chain.muxer->Pause()) && SUCCEEDED(chain.source->Pause());
    Outcome outcome;
    outcome.refused = !started;
    if (started) outcome = Feed(profile, stream, chain, input, stop);
    chain.StopAll();
    CheckOutput(profile, stream, outcome, *chain.sink, ExpectedTitle(tags));
    return 0;
}

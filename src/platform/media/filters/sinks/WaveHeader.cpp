#include "platform/media/filters/sinks/WaveHeader.h"

#include <cstring>

namespace tessival::media {
namespace {

constexpr std::uint32_t kDs64Size = 28;
constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
    void Tag(const char* tag) { out_.insert(out_.end(), tag, tag + 4); }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void U64(std::uint64_t v) {
        U32(static_cast<std::uint32_t>(v));
        U32(static_cast<std::uint32_t>(v >> 32));
    }
    void Bytes(const std::vector<std::uint8_t>& bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    void Zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }

private:
    std::vector<std::uint8_t>& out_;
};

}  // namespace

WaveHeader::WaveHeader(const MediaType& format) {
    const WAVEFORMATEX* wave = format.WaveFormat();
    WAVEFORMATEX header = wave ? *wave : WAVEFORMATEX{};
    const auto extra = format.ExtraBytes();
    header.cbSize = static_cast<std::uint16_t>(extra.size());
    fmt_.resize(sizeof header);
    std::memcpy(fmt_.data(), &header, sizeof header);
    fmt_.insert(fmt_.end(), extra.begin(), extra.end());
    hasFact_ = header.wFormatTag != WAVE_FORMAT_PCM && header.wFormatTag != WAVE_FORMAT_EXTENSIBLE &&
               header.wFormatTag != WAVE_FORMAT_IEEE_FLOAT;
}

std::size_t WaveHeader::Size() const {
    const std::size_t fmtChunk = 8 + fmt_.size() + (fmt_.size() & 1);
    return 12 + (8 + kDs64Size) + fmtChunk + (hasFact_ ? 12 : 0) + info_.size() + 8;
}

std::vector<std::uint8_t> WaveHeader::Build(std::uint64_t dataBytes, std::uint64_t sampleFrames) const {
    const std::uint64_t riffSize = Size() - 8 + dataBytes + (dataBytes & 1);
    const bool rf64 = riffSize > kMax32;
    std::vector<std::uint8_t> out;
    out.reserve(Size());
    Writer w(out);
    w.Tag(rf64 ? "RF64" : "RIFF");
    w.U32(rf64 ? static_cast<std::uint32_t>(kMax32) : static_cast<std::uint32_t>(riffSize));
    w.Tag("WAVE");
    w.Tag(rf64 ? "ds64" : "JUNK");
    w.U32(kDs64Size);
    if (rf64) {
        w.U64(riffSize);
        w.U64(dataBytes);
        w.U64(sampleFrames);
        w.U32(0);  // no table entries
    } else {
        w.Zeros(kDs64Size);
    }
    w.Tag("fmt ");
    w.U32(static_cast<std::uint32_t>(fmt_.size()));
    w.Bytes(fmt_);
    if (fmt_.size() & 1) w.Zeros(1);
    if (hasFact_) {
        w.Tag("fact");
        w.U32(4);
        w.U32(sampleFrames > kMax32 ? static_cast<std::uint32_t>(kMax32) : static_cast<std::uint32_t>(sampleFrames));
    }
    w.Bytes(info_);
    w.Tag("data");
    w.U32(rf64 ? static_cast<std::uint32_t>(kMax32) : static_cast<std::uint32_t>(dataBytes));
    return out;
}

}  // namespace tessival::media

#include "platform/media/filters/splitters/WaveParser.h"

#include <algorithm>
#include <cstring>

namespace tessival::media {
namespace {

constexpr std::uint32_t kMaxFmtBytes = 1 << 16;
constexpr std::int32_t kTargetChunkBytes = 1 << 16;
// Rates outside these are a damaged header, not audio (and would make a resampler's filter huge).
constexpr std::uint32_t kMinRate = 1;
constexpr std::uint32_t kMaxRate = 768000;

std::uint32_t U32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }
std::uint32_t U32Of(const std::uint8_t* p, bool bigEndian) {
    return bigEndian ? static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3] : U32(p);
}

// The fields of a big-endian fmt chunk in our byte order: the WAVEFORMATEX fields, then the
// extensible block's valid bits and channel mask. Its subformat GUID follows its own rules.
void SwapFormatFields(std::vector<std::uint8_t>& bytes) {
    static const int kWidths[] = {2, 2, 4, 4, 2, 2, 2, 2, 4};
    std::size_t at = 0;
    for (int width : kWidths) {
        if (at + width > bytes.size()) break;
        std::reverse(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + width));
        at += width;
    }
}

// A big-endian extensible file's subformat GUID in the little-endian form the rest of us reads:
// sox writes the format tag as a big-endian 16-bit word, others the GUID's first fields as
// big-endian numbers. Only the standard format GUIDs are recognised; others stay as they are.
void NormaliseRifxSubformat(std::vector<std::uint8_t>& extra) {
    static const std::uint8_t kBaseTail[8] = {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    if (extra.size() < 22) return;
    std::uint8_t* guid = extra.data() + 6;
    const bool littleMiddle = guid[4] == 0 && guid[5] == 0 && guid[6] == 0x10 && guid[7] == 0;
    const bool bigMiddle = guid[4] == 0 && guid[5] == 0 && guid[6] == 0 && guid[7] == 0x10;
    if (std::memcmp(guid + 8, kBaseTail, 8) != 0 || !(littleMiddle || bigMiddle)) return;
    std::uint16_t tag;
    if (guid[2] == 0 && guid[3] == 0) tag = static_cast<std::uint16_t>(guid[0] << 8 | guid[1]);
    else if (guid[0] == 0 && guid[1] == 0) tag = static_cast<std::uint16_t>(guid[2] << 8 | guid[3]);
    else return;
    const std::uint8_t canonical[8] = {static_cast<std::uint8_t>(tag), static_cast<std::uint8_t>(tag >> 8), 0, 0,
                                       0, 0, 0x10, 0};
    std::memcpy(guid, canonical, 8);
}

// Big-endian samples of `width` bytes to little-endian, in place.
void SwapSamples(std::vector<std::uint8_t>& data, int width) {
    if (width < 2) return;
    for (std::size_t at = 0; at + width <= data.size(); at += width)
        std::reverse(data.begin() + static_cast<std::ptrdiff_t>(at), data.begin() + static_cast<std::ptrdiff_t>(at + width));
}
std::uint64_t U64(const std::uint8_t* p) { return U32(p) | static_cast<std::uint64_t>(U32(p + 4)) << 32; }

bool ReadExact(IAsyncReader& reader, std::int64_t position, std::int32_t length, std::uint8_t* buffer) {
    return reader.SyncRead(position, length, buffer, nullptr) == S_OK;
}

bool ReadFormat(IAsyncReader& reader, std::int64_t position, std::uint32_t size, WaveLayout& layout) {
    if (size < 16 || size > kMaxFmtBytes) return false;
    layout.extra.clear();  // a later fmt chunk replaces an earlier one, extra bytes included
    std::vector<std::uint8_t> bytes(size);
    if (!ReadExact(reader, position, static_cast<std::int32_t>(size), bytes.data())) return false;
    if (layout.bigEndian) SwapFormatFields(bytes);
    WAVEFORMATEX format;
    std::memcpy(static_cast<void*>(&format), bytes.data(), 16);
    format.cbSize = 0;
    if (size >= 18) {
        std::uint16_t declared;
        std::memcpy(&declared, bytes.data() + 16, 2);
        format.cbSize = static_cast<std::uint16_t>(std::min<std::uint32_t>(declared, size - 18));
        layout.extra.assign(bytes.begin() + 18, bytes.begin() + 18 + format.cbSize);
        if (layout.bigEndian && format.wFormatTag == WAVE_FORMAT_EXTENSIBLE) NormaliseRifxSubformat(layout.extra);
    }
    layout.format = format;
    return true;
}

bool FormatIsUsable(WAVEFORMATEX& format, const std::vector<std::uint8_t>& extra) {
    if (format.nChannels == 0 || format.nSamplesPerSec < kMinRate || format.nSamplesPerSec > kMaxRate) return false;
    // An extensible format says what it holds in 22 bytes after the header; without them it is noise.
    if (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && extra.size() < 22) return false;
    if (format.wFormatTag == WAVE_FORMAT_PCM) {
        const int bits = format.wBitsPerSample;
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32 && bits != 64) return false;
        format.nBlockAlign = static_cast<std::uint16_t>(format.nChannels * bits / 8);
    }
    return format.nBlockAlign != 0;
}

}  // namespace

HRESULT ParseWaveLayout(IAsyncReader& reader, WaveLayout& layout) {
    std::int64_t fileLength = 0, available = 0;
    if (FAILED(reader.Length(fileLength, available))) return E_FAIL;
    std::uint8_t header[12];
    if (!ReadExact(reader, 0, 12, header) || std::memcmp(header + 8, "WAVE", 4) != 0) return VFW_E_INVALID_FILE_FORMAT;
    const bool rf64 = std::memcmp(header, "RF64", 4) == 0;
    layout.bigEndian = std::memcmp(header, "RIFX", 4) == 0;
    if (!rf64 && !layout.bigEndian && std::memcmp(header, "RIFF", 4) != 0) return VFW_E_INVALID_FILE_FORMAT;

    bool haveFormat = false, haveData = false;
    std::uint64_t ds64DataSize = 0;
    std::int64_t position = 12;
    while (!(haveFormat && haveData) && position + 8 <= fileLength) {
        std::uint8_t chunk[8];
        if (!ReadExact(reader, position, 8, chunk)) break;
        const std::uint32_t size = U32Of(chunk + 4, layout.bigEndian);
        const std::int64_t body = position + 8;
        if (std::memcmp(chunk, "ds64", 4) == 0 && size >= 24) {
            std::uint8_t ds64[24];
            if (!ReadExact(reader, body, 24, ds64)) break;
            ds64DataSize = U64(ds64 + 8);
        } else if (std::memcmp(chunk, "fmt ", 4) == 0) {
            haveFormat = ReadFormat(reader, body, size, layout);
            if (!haveFormat) return VFW_E_INVALID_FILE_FORMAT;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            haveData = true;
            layout.dataOffset = body;
            const bool inDs64 = rf64 && size == 0xFFFFFFFFu;
            const std::uint64_t declared = inDs64 ? ds64DataSize : size;
            // A recording that was never closed says 0 (or all ones): its data runs to the end.
            const bool unclosed = declared == 0 || declared == 0xFFFFFFFFu;
            const std::int64_t rest = fileLength - body;
            layout.dataSize = unclosed ? rest : static_cast<std::int64_t>(std::min<std::uint64_t>(declared, rest));
            if (unclosed || inDs64) break;  // nothing after it matters
        }
        position = body + size + (size & 1);
    }
    if (!haveFormat || !haveData || !FormatIsUsable(layout.format, layout.extra)) return VFW_E_INVALID_FILE_FORMAT;
    // Only PCM and float samples are turned around; a big-endian codec stream is not something we can read.
    const std::uint16_t tag = layout.format.wFormatTag;
    if (layout.bigEndian && tag != WAVE_FORMAT_PCM && tag != WAVE_FORMAT_IEEE_FLOAT && tag != WAVE_FORMAT_EXTENSIBLE)
        return VFW_E_INVALID_FILE_FORMAT;
    return S_OK;
}

WaveParser::WaveParser() : SplitterFilter(CLSID_WAVEParser, "input pin") {}

bool WaveParser::AcceptsStream(const MediaType& type) const { return type.subtype == MEDIASUBTYPE_WAVE; }

HRESULT WaveParser::OpenStream(IAsyncReader& reader) {
    layout_ = WaveLayout{};
    const HRESULT hr = ParseWaveLayout(reader, layout_);
    if (FAILED(hr)) return hr;
    const std::int32_t block = layout_.format.nBlockAlign;
    chunkBytes_ = std::max(block, kTargetChunkBytes / block * block);
    delivered_ = 0;
    const std::uint32_t rate = layout_.format.nAvgBytesPerSec;
    SetDuration(rate ? layout_.dataSize * kUnitsPerSecond / rate : 0);
    output_ = &AddOutput("output", MediaType::Audio(layout_.format, layout_.extra));
    return S_OK;
}

void WaveParser::CloseStream() { output_ = nullptr; }

HRESULT WaveParser::DeliverNext() {
    const std::int64_t block = layout_.format.nBlockAlign;
    const std::int64_t left = (layout_.dataSize - delivered_) / block * block;
    if (left <= 0) return S_FALSE;
    const auto want = static_cast<std::int32_t>(std::min<std::int64_t>(left, chunkBytes_));
    sample_.data.resize(static_cast<std::size_t>(want));
    std::int32_t got = 0;
    const HRESULT hr = Reader()->SyncRead(layout_.dataOffset + delivered_, want, sample_.data.data(), &got);
    if (FAILED(hr)) return hr;
    const std::int64_t whole = got / block * block;
    if (whole == 0) return S_FALSE;
    sample_.data.resize(static_cast<std::size_t>(whole));
    if (layout_.bigEndian) SwapSamples(sample_.data, layout_.format.wBitsPerSample / 8);
    const std::uint32_t rate = layout_.format.nAvgBytesPerSec;
    sample_.start = rate ? delivered_ * kUnitsPerSecond / rate : -1;
    sample_.stop = rate ? (delivered_ + whole) * kUnitsPerSecond / rate : -1;
    sample_.frameCount = layout_.format.wFormatTag == WAVE_FORMAT_PCM ? whole / block : -1;
    sample_.discontinuity = delivered_ == 0;
    delivered_ += whole;
    SetPosition(sample_.stop > 0 ? sample_.stop : 0);
    const HRESULT delivered = DeliverTo(*output_, sample_);
    if (FAILED(delivered)) return delivered;
    return hr == S_FALSE ? S_FALSE : S_OK;
}

FilterEntry WaveParser::Entry() {
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_WAVEParser, "Wave Parser", MERIT_NORMAL,
                           {MediaTypePattern(MEDIATYPE_Stream, MEDIASUBTYPE_WAVE)},
                           [] { return std::make_shared<WaveParser>(); });
}

}  // namespace tessival::media

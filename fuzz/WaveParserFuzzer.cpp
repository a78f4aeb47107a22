// The WAVE chunk parser on any bytes, read from memory: it either refuses the file or finds
// audio that lies inside it, in a format that can be streamed in whole blocks.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "platform/media/filters/splitters/WaveParser.h"

using namespace tessival::media;

namespace {

class MemoryReader : public IAsyncReader {
public:
    MemoryReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(static_cast<std::int64_t>(size)) {}

    HRESULT SyncRead(std::int64_t position, std::int32_t length, std::uint8_t* buffer, std::int32_t* bytesRead) override {
        if (bytesRead) *bytesRead = 0;
        if (position < 0 || length < 0) return E_INVALIDARG;
        const std::int64_t available = std::clamp<std::int64_t>(size_ - position, 0, length);
        if (available > 0) std::memcpy(buffer, data_ + position, static_cast<std::size_t>(available));
        if (bytesRead) *bytesRead = static_cast<std::int32_t>(available);
        return available == length ? S_OK : S_FALSE;
    }
    HRESULT Length(std::int64_t& total, std::int64_t& available) override {
        total = available = size_;
        return S_OK;
    }

private:
    const std::uint8_t* data_;
    std::int64_t size_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryReader reader(data, size);
    WaveLayout layout;
    if (ParseWaveLayout(reader, layout) != S_OK) return 0;
    using tessival::fuzz::Require;
    const auto length = static_cast<std::int64_t>(size);
    Require(layout.dataOffset >= 12 && layout.dataOffset <= length, "the data starts inside the file");
    Require(layout.dataSize >= 0 && layout.dataSize <= length - layout.dataOffset, "the data ends inside the file");
    Require(layout.format.nChannels > 0 && layout.format.nSamplesPerSec > 0, "a format with channels and a rate");
    Require(layout.format.nBlockAlign > 0, "whole blocks can be cut");
    Require(layout.extra.size() == layout.format.cbSize, "the extra bytes are the ones the format counts");
    return 0;
}

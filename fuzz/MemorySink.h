#pragma once

// The end of a byte-stream chain in memory: each sample's bytes at the offset its start gives,
// as "File Writer" puts them on disk, and whether the muxer asked for the output to be dropped.
#include <cstring>

#include "FuzzSupport.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/RendererFilter.h"

namespace tessival::fuzz {

inline constexpr media::Guid kMemorySinkClass{0x5E1FF002, 0x7C3B, 0x4D21, {0x9A, 0x6E, 0x31, 0x0B, 0x8C, 0x4F, 0x22, 0x10}};

class MemorySink : public media::RendererFilter, public media::IStreamAbortSink {
public:
    MemorySink() : RendererFilter(kMemorySinkClass, "In") {}

    void OnStreamAborted(media::HRESULT) override { discarded_ = true; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    bool Discarded() const { return discarded_; }
    bool Ended() const { return StreamEnded(); }

protected:
    media::HRESULT CheckInput(const media::MediaType& type) const override {
        return type.majorType == media::MEDIATYPE_Stream ? media::S_OK : media::VFW_E_TYPE_NOT_ACCEPTED;
    }
    media::HRESULT Render(media::MediaSample& sample) override {
        Require(sample.start >= 0, "every byte-stream sample says where its bytes go");
        const auto end = static_cast<std::size_t>(sample.start) + sample.data.size();
        // A hole would be a run of zeros in the file: the muxers only ever write over what they wrote.
        Require(static_cast<std::size_t>(sample.start) <= bytes_.size(), "no byte-stream sample leaves a hole");
        if (end > bytes_.size()) bytes_.resize(end);
        if (!sample.data.empty()) std::memcpy(bytes_.data() + sample.start, sample.data.data(), sample.data.size());
        return media::S_OK;
    }

private:
    std::vector<std::uint8_t> bytes_;
    bool discarded_ = false;
};

}  // namespace tessival::fuzz

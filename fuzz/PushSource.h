#pragma once

// A source filter whose samples are pushed by the caller on its own thread, so a fuzz target
// drives a sink filter sample by sample without a graph or a streaming thread.
#include "platform/media/BaseFilter.h"
#include "platform/media/OutputPin.h"

namespace tessival::fuzz {

inline constexpr media::Guid kPushSourceClass{0x5E1FF001, 0x7C3B, 0x4D21, {0x9A, 0x6E, 0x31, 0x0B, 0x8C, 0x4F, 0x22, 0x10}};

class PushSource : public media::BaseFilter {
public:
    explicit PushSource(media::MediaType type)
        : BaseFilter(kPushSourceClass), output_(AddPin<media::OutputPin>("Out")), type_(std::move(type)) {}

    media::HRESULT GetMediaTypes(const media::BasePin&, std::vector<media::MediaType>& types) const override {
        types.push_back(type_);
        return media::S_OK;
    }
    media::OutputPin& Output() { return output_; }
    const media::MediaType& Type() const { return type_; }

private:
    media::OutputPin& output_;
    media::MediaType type_;
};

}  // namespace tessival::fuzz

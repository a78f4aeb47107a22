#pragma once

#include "platform/media/BaseFilter.h"

namespace tessival::media {

// Base of filters that end a graph (renderers and file sinks): one input pin, no outputs. The
// graph waits for each of them to report the end of its stream.
class RendererFilter : public BaseFilter {
public:
    RendererFilter(const Guid& clsid, std::string inputName);

    HRESULT CheckInputType(const BasePin& pin, const MediaType& type) const final;
    HRESULT Receive(InputPin& pin, MediaSample& sample) final;
    HRESULT EndOfStream(InputPin& pin) final;

protected:
    virtual HRESULT CheckInput(const MediaType& type) const = 0;
    virtual HRESULT Render(MediaSample& sample) = 0;
    // Runs before completion is reported; a failure ends the graph with it instead.
    virtual HRESULT Finish() { return S_OK; }

    const InputPin& Input() const { return input_; }
    bool StreamEnded() const { return ended_; }
    HRESULT OnPrepare() override;

private:
    InputPin& input_;
    bool ended_ = false;
};

}  // namespace tessival::media

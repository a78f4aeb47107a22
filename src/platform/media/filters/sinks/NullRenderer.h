#pragma once

#include "platform/media/FilterRegistry.h"
#include "platform/media/RendererFilter.h"

namespace tessival::media {

// "Audio Renderer" and "Video Renderer": they end a rendered graph and discard what they get
// (nothing is played; the program only builds such graphs to analyse a file).
class NullRenderer : public RendererFilter {
public:
    NullRenderer(const Guid& clsid, std::string inputName, MediaType accepted);

    static FilterEntry AudioRendererEntry();
    static FilterEntry VideoRendererEntry();

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT Render(MediaSample& sample) override;

private:
    MediaType accepted_;
};

}  // namespace tessival::media

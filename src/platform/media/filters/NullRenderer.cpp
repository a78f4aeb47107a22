#include "platform/media/filters/NullRenderer.h"

namespace tessival::media {

NullRenderer::NullRenderer(const Guid& clsid, std::string inputName, MediaType accepted)
    : RendererFilter(clsid, std::move(inputName)), accepted_(std::move(accepted)) {}

HRESULT NullRenderer::CheckInput(const MediaType& type) const {
    return type.Matches(accepted_) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT NullRenderer::Render(MediaSample&) { return S_OK; }

FilterEntry NullRenderer::AudioRendererEntry() {
    FilterEntry entry;
    entry.category = CLSID_LegacyAmFilterCategory;
    entry.clsid = CLSID_AudioRender;
    entry.friendlyName = "Audio Renderer";
    entry.merit = MERIT_PREFERRED;
    entry.inputTypes = {MediaTypePattern(MEDIATYPE_Audio, MEDIASUBTYPE_PCM)};
    entry.factory = [] {
        return std::make_shared<NullRenderer>(CLSID_AudioRender, "Audio Input pin (rendered)",
                                              MediaTypePattern(MEDIATYPE_Audio, MEDIASUBTYPE_PCM));
    };
    return entry;
}

FilterEntry NullRenderer::VideoRendererEntry() {
    FilterEntry entry;
    entry.category = CLSID_LegacyAmFilterCategory;
    entry.clsid = CLSID_VideoRenderer;
    entry.friendlyName = "Video Renderer";
    entry.merit = MERIT_UNLIKELY + 1;
    entry.inputTypes = {MediaTypePattern(MEDIATYPE_Video)};
    entry.factory = [] {
        return std::make_shared<NullRenderer>(CLSID_VideoRenderer, "Input", MediaTypePattern(MEDIATYPE_Video));
    };
    return entry;
}

}  // namespace tessival::media

#include "platform/media/filters/sinks/NullRenderer.h"

namespace tessival::media {

NullRenderer::NullRenderer(const Guid& clsid, std::string inputName, MediaType accepted)
    : RendererFilter(clsid, std::move(inputName)), accepted_(std::move(accepted)) {}

HRESULT NullRenderer::CheckInput(const MediaType& type) const {
    return type.Matches(accepted_) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT NullRenderer::Render(MediaSample&) { return S_OK; }

FilterEntry NullRenderer::AudioRendererEntry() {
    const MediaType pcm = MediaTypePattern(MEDIATYPE_Audio, MEDIASUBTYPE_PCM);
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_AudioRender, "Audio Renderer", MERIT_PREFERRED, {pcm},
                           [pcm] { return std::make_shared<NullRenderer>(CLSID_AudioRender, "Audio Input pin (rendered)", pcm); });
}

FilterEntry NullRenderer::VideoRendererEntry() {
    const MediaType video = MediaTypePattern(MEDIATYPE_Video);
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_VideoRenderer, "Video Renderer", MERIT_UNLIKELY + 1,
                           {video}, [video] { return std::make_shared<NullRenderer>(CLSID_VideoRenderer, "Input", video); });
}

}  // namespace tessival::media

// The system's filters. To add a filter: write it in filters/ (a TransformFilter for decoders
// and encoders, a SplitterFilter for parsers reading the "File Source (Async.)" pin, a
// RendererFilter for sinks), give it a static Entry() with its category, friendly name, merit,
// accepted input types and factory, and add one Register line below. The order of the lines is
// the enumeration order of each category.
#include "platform/media/FilterRegistry.h"
#include "platform/media/filters/NullRenderer.h"

namespace tessival::media {
namespace {

std::shared_ptr<FilterRegistry> BuildSystemRegistry() {
    auto registry = std::make_shared<FilterRegistry>();
    // DirectShow filters
    registry->Register(NullRenderer::AudioRendererEntry());
    registry->Register(NullRenderer::VideoRendererEntry());
    // Audio compressors
    return registry;
}

}  // namespace

std::shared_ptr<const FilterRegistry> SystemRegistry() {
    static const std::shared_ptr<const FilterRegistry> registry = BuildSystemRegistry();
    return registry;
}

}  // namespace tessival::media

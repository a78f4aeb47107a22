#include "engine/InstalledDestTypes.h"

#include "engine/GraphToolkit.h"

namespace tessival {

DestTypeList InstalledDestTypes(Shell& shell, std::shared_ptr<const media::FilterRegistry> registry) {
    GraphToolkit toolkit(shell, std::move(registry));
    return MakeDestTypeList(toolkit.CategoryNames(media::CLSID_AudioCompressorCategory));
}

}  // namespace tessival

#include "engine/InstalledDestTypes.h"

#include "engine/GraphToolkit.h"

namespace tessival {

DestTypeList InstalledDestTypes(Shell& shell, std::shared_ptr<const media::FilterRegistry> registry) {
    GraphToolkit toolkit(shell, std::move(registry));
    std::vector<std::string> compressors;
    const int count = toolkit.ListCategory(media::CLSID_AudioCompressorCategory);
    for (int i = 0; i < count; ++i) compressors.push_back(toolkit.GetDeviceName(i));
    return MakeDestTypeList(compressors);
}

}  // namespace tessival

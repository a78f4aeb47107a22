#include "platform/media/DeviceEnumerator.h"

namespace tessival::media {

HRESULT Moniker::ReadFriendlyName(std::string& name) const {
    if (!entry_.friendlyName) return E_FAIL;
    name = *entry_.friendlyName;
    return S_OK;
}

HRESULT Moniker::BindToObject(std::shared_ptr<IBaseFilter>& filter) const {
    filter = entry_.factory ? entry_.factory() : nullptr;
    return filter ? S_OK : E_FAIL;
}

DeviceEnumerator::DeviceEnumerator(std::shared_ptr<const FilterRegistry> registry) : registry_(std::move(registry)) {}

HRESULT DeviceEnumerator::CreateClassEnumerator(const Guid& category, std::vector<Moniker>& monikers) const {
    monikers.clear();
    if (!registry_) return E_POINTER;
    for (FilterEntry& entry : registry_->Entries(category)) monikers.emplace_back(std::move(entry));
    return monikers.empty() ? S_FALSE : S_OK;
}

}  // namespace tessival::media

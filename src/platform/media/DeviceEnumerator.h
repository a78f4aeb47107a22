#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/FilterRegistry.h"

namespace tessival::media {

// One entry of a category, as the system device enumerator hands it out.
class Moniker {
public:
    explicit Moniker(FilterEntry entry) : entry_(std::move(entry)) {}
    // E_FAIL when the entry has no readable name.
    HRESULT ReadFriendlyName(std::string& name) const;
    // A new instance of the filter or device.
    HRESULT BindToObject(std::shared_ptr<IBaseFilter>& filter) const;
    const FilterEntry& Entry() const { return entry_; }

private:
    FilterEntry entry_;
};

// The system device enumerator over a registry.
class DeviceEnumerator {
public:
    explicit DeviceEnumerator(std::shared_ptr<const FilterRegistry> registry);
    // The category's entries in a stable order; S_FALSE and none for an empty category.
    HRESULT CreateClassEnumerator(const Guid& category, std::vector<Moniker>& monikers) const;

private:
    std::shared_ptr<const FilterRegistry> registry_;
};

}  // namespace tessival::media

#include "platform/media/FilterRegistry.h"

#include <algorithm>

namespace tessival::media {

FilterEntry MakeFilterEntry(const Guid& category, const Guid& clsid, std::string friendlyName, std::uint32_t merit,
                            std::vector<MediaType> inputTypes, std::function<std::shared_ptr<IBaseFilter>()> factory) {
    FilterEntry entry;
    entry.category = category;
    entry.clsid = clsid;
    entry.friendlyName = std::move(friendlyName);
    entry.merit = merit;
    entry.inputTypes = std::move(inputTypes);
    entry.factory = std::move(factory);
    return entry;
}

HRESULT FilterRegistry::Register(FilterEntry entry) {
    if (entry.category.IsNull() || !entry.factory) return E_INVALIDARG;
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
    return S_OK;
}

void FilterRegistry::RegisterProvider(const Guid& category, Provider provider) {
    std::lock_guard lock(mutex_);
    providers_.emplace_back(category, std::move(provider));
}

std::vector<FilterEntry> FilterRegistry::Entries(const Guid& category) const {
    std::vector<FilterEntry> matching;
    std::vector<Provider> providers;
    {
        // Only the category's entries are copied: every graph an item builds asks several times.
        std::lock_guard lock(mutex_);
        for (const FilterEntry& entry : entries_)
            if (entry.category == category) matching.push_back(entry);
        for (const auto& [providerCategory, provider] : providers_)
            if (providerCategory == category) providers.push_back(provider);
    }
    // Providers ask the hardware, so only those of the category asked for run.
    for (const Provider& provider : providers) {
        for (FilterEntry& entry : provider()) {
            entry.category = category;
            if (entry.factory) matching.push_back(std::move(entry));
        }
    }
    return matching;
}

std::vector<FilterEntry> FilterRegistry::ConnectCandidates(const std::vector<MediaType>& types) const {
    std::vector<FilterEntry> candidates;
    for (FilterEntry& entry : Entries(CLSID_LegacyAmFilterCategory)) {
        if (entry.merit <= MERIT_DO_NOT_USE) continue;
        const bool accepts = std::any_of(types.begin(), types.end(), [&](const MediaType& type) {
            return std::any_of(entry.inputTypes.begin(), entry.inputTypes.end(),
                               [&](const MediaType& pattern) { return type.Matches(pattern); });
        });
        if (accepts) candidates.push_back(std::move(entry));
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const FilterEntry& a, const FilterEntry& b) { return a.merit > b.merit; });
    return candidates;
}

std::optional<FilterEntry> FilterRegistry::SourceFor(const std::string& path,
                                                     std::span<const std::uint8_t> head) const {
    std::vector<FilterEntry> sources;
    for (FilterEntry& entry : Entries(CLSID_LegacyAmFilterCategory))
        if (entry.opensFile) sources.push_back(std::move(entry));
    std::stable_sort(sources.begin(), sources.end(),
                     [](const FilterEntry& a, const FilterEntry& b) { return a.merit > b.merit; });
    for (FilterEntry& entry : sources)
        if (entry.opensFile(path, head)) return std::move(entry);
    return std::nullopt;
}

HRESULT FilterRegistry::CreateInstance(const Guid& clsid, std::shared_ptr<IBaseFilter>& filter) const {
    filter.reset();
    std::lock_guard lock(mutex_);
    for (const FilterEntry& entry : entries_) {
        if (entry.clsid != clsid) continue;
        filter = entry.factory();
        return filter ? S_OK : E_OUTOFMEMORY;
    }
    return REGDB_E_CLASSNOTREG;
}

HRESULT CoCreateInstance(const Guid& clsid, std::shared_ptr<IBaseFilter>& filter) {
    return SystemRegistry()->CreateInstance(clsid, filter);
}

std::string CategoryName(const Guid& category) {
    if (category == CLSID_LegacyAmFilterCategory) return "DirectShow Filters";
    if (category == CLSID_AudioCompressorCategory) return "Audio Compressors";
    if (category == CLSID_AudioInputDeviceCategory) return "Audio Capture Sources";
    return category.ToString();
}

}  // namespace tessival::media

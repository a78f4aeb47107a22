#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/media/IBaseFilter.h"

namespace tessival::media {

inline constexpr std::uint32_t MERIT_PREFERRED = 0x800000;
inline constexpr std::uint32_t MERIT_NORMAL = 0x600000;
inline constexpr std::uint32_t MERIT_UNLIKELY = 0x400000;
inline constexpr std::uint32_t MERIT_DO_NOT_USE = 0x200000;
inline constexpr std::uint32_t MERIT_SW_COMPRESSOR = 0x100000;

// One registered filter or device.
struct FilterEntry {
    Guid category;
    Guid clsid;
    // Empty when the entry's name cannot be read (enumerations skip such entries).
    std::optional<std::string> friendlyName;
    std::uint32_t merit = MERIT_DO_NOT_USE;
    // Patterns (null fields match anything) of the input types the filter accepts; automatic
    // connection only offers a filter types that match one of them.
    std::vector<MediaType> inputTypes;
    std::function<std::shared_ptr<IBaseFilter>()> factory;
    // Source filters: whether the filter opens this file, given its first bytes.
    std::function<bool(const std::string& path, std::span<const std::uint8_t> head)> opensFile;
};

FilterEntry MakeFilterEntry(const Guid& category, const Guid& clsid, std::string friendlyName, std::uint32_t merit,
                            std::vector<MediaType> inputTypes, std::function<std::shared_ptr<IBaseFilter>()> factory);

// The registered filters by category, in registration order. The program uses SystemRegistry();
// tests build their own. Reading is thread-safe; registration happens before use.
class FilterRegistry {
public:
    // Refuses an entry without a category or factory (E_INVALIDARG).
    HRESULT Register(FilterEntry entry);
    // Entries made at enumeration time (capture devices), listed after the fixed ones.
    using Provider = std::function<std::vector<FilterEntry>()>;
    void RegisterProvider(const Guid& category, Provider provider);

    std::vector<FilterEntry> Entries(const Guid& category) const;
    // DirectShow-category filters for automatic connection of an output offering these types:
    // merit above MERIT_DO_NOT_USE, an input pattern matching one of the types, highest merit
    // first, registration order among equals.
    std::vector<FilterEntry> ConnectCandidates(const std::vector<MediaType>& types) const;
    // The source filter for a file: the first source entry, by merit, that opens it.
    std::optional<FilterEntry> SourceFor(const std::string& path, std::span<const std::uint8_t> head) const;
    // Direct creation by class id, as CoCreateInstance would; REGDB_E_CLASSNOTREG when no
    // entry has the class.
    HRESULT CreateInstance(const Guid& clsid, std::shared_ptr<IBaseFilter>& filter) const;

private:
    mutable std::mutex mutex_;
    std::vector<FilterEntry> entries_;
    std::vector<std::pair<Guid, Provider>> providers_;
};

// The registry of the system's filters, built once.
std::shared_ptr<const FilterRegistry> SystemRegistry();
// Creates from the system registry.
HRESULT CoCreateInstance(const Guid& clsid, std::shared_ptr<IBaseFilter>& filter);
// "DirectShow Filters", "Audio Compressors", "Audio Capture Sources", or the id.
std::string CategoryName(const Guid& category);

inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154);

}  // namespace tessival::media

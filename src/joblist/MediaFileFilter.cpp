#include "joblist/MediaFileFilter.h"

#include "joblist/ItemTypes.h"

namespace tessival {

std::string ExtendedMediaFilter(const std::string& original, const std::string& addedEntryName) {
    // "name|patterns|name|patterns||..." : the first entry ends at the second bar.
    const auto firstBar = original.find('|');
    const auto secondBar = firstBar == std::string::npos ? firstBar : original.find('|', firstBar + 1);
    if (secondBar == std::string::npos || secondBar == firstBar + 1) return original;
    std::string patterns;
    for (std::string_view extension : AddedSourceExtensions()) {
        if (!patterns.empty()) patterns += ';';
        patterns += "*." + std::string(extension);
    }
    return original.substr(0, secondBar) + ";" + patterns + "|" + addedEntryName + "|" + patterns +
           original.substr(secondBar);
}

}  // namespace tessival

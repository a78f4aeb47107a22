#pragma once

#include <string>

namespace tessival::docgen {

// A page's heading, "name(1): summary", taken apart.
struct PageHeading {
    std::string name;
    std::string section;
    std::string summary;

    static PageHeading Parse(const std::string& text);
};

}  // namespace tessival::docgen

#include "platform/media/Guid.h"

#include <cstdio>

namespace tessival::media {

std::string Guid::ToString() const {
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", data1, data2, data3, data4[0],
                  data4[1], data4[2], data4[3], data4[4], data4[5], data4[6], data4[7]);
    return text;
}

std::uint16_t FormatTagOfSubtype(const Guid& subtype) {
    if (subtype.data1 > 0xFFFF) return 0;
    const Guid family = WaveFormatSubtype(static_cast<std::uint16_t>(subtype.data1));
    return family == subtype ? static_cast<std::uint16_t>(subtype.data1) : 0;
}

}  // namespace tessival::media

#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "joblist/QualityInfo.h"

namespace tessival {

#pragma pack(push, 1)
// One conversion job. Its byte image is the list-file record, so it is copied and stored as a
// block. Every field starts zero, so a new record is zero-filled in full (the packing leaves no
// padding).
struct ConvertItem {
    char sourcePath[255]{};
    char sourceName[80]{};
    char sourceExt[10]{};
    char sourceType[10]{};
    uint8_t reserved1{};
    int32_t captureDevice{};
    int32_t captureInput{};
    char destPath[255]{};
    char destName[80]{};
    char destType[80]{};
    QualityInfo quality{};
    uint8_t reserved2[7]{};
    char status[256]{};
};
#pragma pack(pop)

inline constexpr std::size_t kConvertItemSize = 1060;

static_assert(std::is_standard_layout_v<ConvertItem>);
static_assert(std::is_trivially_copyable_v<ConvertItem>);
static_assert(sizeof(ConvertItem) == kConvertItemSize);
static_assert(offsetof(ConvertItem, sourcePath) == 0);
static_assert(offsetof(ConvertItem, sourceName) == 255);
static_assert(offsetof(ConvertItem, sourceExt) == 335);
static_assert(offsetof(ConvertItem, sourceType) == 345);
static_assert(offsetof(ConvertItem, reserved1) == 355);
static_assert(offsetof(ConvertItem, captureDevice) == 356);
static_assert(offsetof(ConvertItem, captureInput) == 360);
static_assert(offsetof(ConvertItem, destPath) == 364);
static_assert(offsetof(ConvertItem, destName) == 619);
static_assert(offsetof(ConvertItem, destType) == 699);
static_assert(offsetof(ConvertItem, quality) == 779);
static_assert(offsetof(ConvertItem, reserved2) == 797);
static_assert(offsetof(ConvertItem, status) == 804);

}  // namespace tessival

#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessival {

// Destination types that write a real file of their own container (with tags), listed after the
// types that write a WAVE file. None of their texts holds "(" or begins with the three letters of
// another type, so every type keeps its meaning when only those three letters are compared.
struct FileDestType {
    std::string_view type;       // "FLAC", as the properties dialog lists it
    std::string_view extension;  // "flac", without the dot
};

std::span<const FileDestType> FileDestTypes();

// The file type whose first three letters destType begins with; none for WAVE types.
const FileDestType* FindFileDestType(std::string_view destType);


}  // namespace tessival

#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessival::media {

// Texts in the encodings tag formats store them in, as UTF-8. Nothing here fails: what cannot be
// decoded becomes U+FFFD, so a damaged tag still gives a readable text.

// Latin-1 (ISO-8859-1) bytes.
std::string Latin1ToUtf8(std::span<const std::uint8_t> bytes);

// UTF-16 with an optional byte order mark; without one, bigEndian says the order. A last odd byte
// is dropped.
std::string Utf16ToUtf8(std::span<const std::uint8_t> bytes, bool bigEndian);

bool IsValidUtf8(std::string_view text);

// Bytes said to be UTF-8; a text that is not (a tagger that wrote Latin-1 and called it UTF-8) is
// read as Latin-1 instead.
std::string Utf8OrLatin1(std::span<const std::uint8_t> bytes);

// Splits at each NUL; a NUL at the very end ends the last part and makes no empty part.
std::vector<std::string> SplitAtNul(std::string_view text);

}  // namespace tessival::media

#pragma once

#include <string>
#include <string_view>

namespace tessival {

// Which characters a file name may hold besides the ones no name may: Posix keeps every other
// byte, Portable also replaces those FAT, NTFS and Windows shares refuse (<>:"\|?*).
enum class NameCharset { Posix, Portable };

// A tag value made fit to be part of one file name, so that it never makes a folder or hides the
// file: "/", NUL and control characters (and with Portable the characters above) become "_".
std::string CleanNameValue(std::string_view value, NameCharset charset);

// A whole path component trimmed so that it is neither hidden nor ".." and reads the same on
// every system: leading and trailing dots and spaces are removed (a field left empty leaves no
// stray space either).
std::string TrimNameComponent(std::string_view component);

}  // namespace tessival

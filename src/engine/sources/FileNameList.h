#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tessival {

// The file names a script hands over (`find ... -print0`, `ls`): one a line, or NUL-separated when
// separator is '\0'. Empty names are passed over; a line's "\r" before "\n" belongs to the line
// break, not to the name. False when the file cannot be read.
bool ReadFileNames(const std::string& path, char separator, std::vector<std::string>& names);

// The same from an open stream ("-" is standard input for the path form).
bool ReadFileNames(std::FILE* stream, char separator, std::vector<std::string>& names);

}  // namespace tessival

#pragma once

#include <string>

namespace tessival {

// The program's user-visible texts, looked up by string id. An unknown id gives "".
std::string LoadString(int id);
// The text with its first "%s" replaced by `value` (the text alone when it has none).
std::string LoadStringWith(int id, const std::string& value);

}  // namespace tessival

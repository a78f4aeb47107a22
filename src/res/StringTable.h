#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tessival {

// The program's user-visible texts, looked up by string id. An unknown id gives "".
std::string LoadString(int id);
// The text with its first "%s" replaced by `value` (the text alone when it has none).
std::string LoadStringWith(int id, const std::string& value);

// The text with each "%s" replaced by the next argument, in order. Arguments are inserted as they
// stand: a file name holding "%s" is never read as a placeholder.
std::string LoadString(int id, std::initializer_list<std::string_view> args);

}  // namespace tessival

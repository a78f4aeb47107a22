#pragma once

#include <string>

namespace tessival {

// The program's user-visible texts, looked up by string id. An unknown id gives "".
std::string LoadString(int id);

}  // namespace tessival

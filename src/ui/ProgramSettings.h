#pragma once

#include <QSettings>
#include <optional>

namespace tessival {

// The program's settings, placed by its organisation and name. A process that does not name
// itself (a test, a tool) keeps nothing: Qt would write under made-up names in the user's home.
std::optional<QSettings> ProgramSettings();

}  // namespace tessival

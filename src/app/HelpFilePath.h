#pragma once

#include <QString>

namespace tessival {

// The help page for an executable in `executableFolder`: share/tessival/tessival.html beside its
// bin folder once installed, else the copy the build puts beside it. When neither exists, the
// installed place, so that opening it fails visibly rather than opening something else.
QString HelpFilePath(const QString& executableFolder);

}  // namespace tessival

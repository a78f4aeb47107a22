#pragma once

#include <QString>

namespace tessival {

// A name of either direction set inside text of the other: between a first-strong isolate and its
// end, so an Arabic or Hebrew file name neither turns the text around it nor is turned by it.
inline QString BidiIsolated(const QString& name) { return QChar(0x2068) + name + QChar(0x2069); }

}  // namespace tessival

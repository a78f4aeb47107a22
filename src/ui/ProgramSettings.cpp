#include "ui/ProgramSettings.h"

#include <QCoreApplication>

namespace tessival {

std::optional<QSettings> ProgramSettings() {
    if (QCoreApplication::organizationName().isEmpty()) return std::nullopt;
    return std::make_optional<QSettings>();
}

}  // namespace tessival

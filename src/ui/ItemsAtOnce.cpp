#include "ui/ItemsAtOnce.h"

#include <QCoreApplication>
#include <QSettings>
#include <algorithm>
#include <optional>

namespace tessival {
namespace {

const QString kKey = QStringLiteral("run/itemsAtOnce");

// The program's settings, placed by its organisation and name. A process that does not name
// itself (a test, a tool) keeps nothing: Qt would write under made-up names in the user's home.
std::optional<QSettings> ProgramSettings() {
    if (QCoreApplication::organizationName().isEmpty()) return std::nullopt;
    return std::make_optional<QSettings>();
}

}  // namespace

int BoundItemsAtOnce(int count) { return std::clamp(count, 1, kMostItemsAtOnce); }

int LoadItemsAtOnce() {
    auto settings = ProgramSettings();
    return settings ? BoundItemsAtOnce(settings->value(kKey, 1).toInt()) : 1;
}

void SaveItemsAtOnce(int count) {
    if (auto settings = ProgramSettings()) settings->setValue(kKey, BoundItemsAtOnce(count));
}

}  // namespace tessival

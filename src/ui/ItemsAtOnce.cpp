#include "ui/ItemsAtOnce.h"

#include <algorithm>

#include "ui/ProgramSettings.h"

namespace tessival {
namespace {

const QString kKey = QStringLiteral("run/itemsAtOnce");

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

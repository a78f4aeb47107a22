#include "ui/ItemsAtOnce.h"

#include <QSettings>
#include <algorithm>

namespace tessival {
namespace {

const QString kKey = QStringLiteral("run/itemsAtOnce");

}  // namespace

int BoundItemsAtOnce(int count) { return std::clamp(count, 1, kMostItemsAtOnce); }

// The application's organisation and name place the file; without them Qt reads and writes nothing.
int LoadItemsAtOnce() { return BoundItemsAtOnce(QSettings().value(kKey, 1).toInt()); }

void SaveItemsAtOnce(int count) {
    QSettings settings;
    settings.setValue(kKey, BoundItemsAtOnce(count));
}

}  // namespace tessival

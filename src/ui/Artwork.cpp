#include "ui/Artwork.h"

#include <QDir>

#include "res/ResourceIds.h"

// Resources of a static library must be registered by hand, once, outside any namespace.
static void RegisterArtwork() { Q_INIT_RESOURCE(artwork); }

namespace tessival {
namespace {

void EnsureRegistered() {
    static const bool registered = (RegisterArtwork(), true);
    (void)registered;
}

constexpr QSize kButtonFrame(44, 44);
constexpr QSize kListIcon(16, 16);

}  // namespace

QImage LoadBitmap(int bitmapId) {
    EnsureRegistered();
    return QImage(QStringLiteral(":/tessival/bitmap%1.png").arg(bitmapId));
}

QPixmap SkinBitmap() { return QPixmap::fromImage(LoadBitmap(IDB_SKIN)); }

ImageList ListIcons() { return ImageList::FromStrip(LoadBitmap(IDB_LIST_ICONS), kListIcon); }

ImageList ButtonImages(int bitmapId) { return ImageList::FromStrip(LoadBitmap(bitmapId), kButtonFrame); }

QIcon AppIcon() {
    EnsureRegistered();
    return QIcon(QStringLiteral(":/tessival/icon%1.png").arg(IDR_MAINFRAME));
}

}  // namespace tessival

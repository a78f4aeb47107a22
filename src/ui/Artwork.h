#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "ui/ImageList.h"

namespace tessival {

// The program's own artwork, compiled in as resources and looked up by bitmap or icon id.
QPixmap SkinBitmap();                      // bitmap 130, 640 x 480
ImageList ListIcons();                     // bitmap 132, three 16 x 16 images
ImageList ButtonImages(int bitmapId);      // bitmaps 133 to 147, three 44 x 44 frames
QIcon AppIcon();                           // icon 128
QImage LoadBitmap(int bitmapId);           // null for an unknown id

}  // namespace tessival

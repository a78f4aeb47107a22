#include "ui/ImageList.h"

namespace tessival {

QImage WithMagentaTransparent(const QImage& image) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb magenta = qRgb(255, 0, 255);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == (magenta & 0x00FFFFFFu)) line[x] = 0;
        }
    }
    return result;
}

ImageList ImageList::FromStrip(const QImage& strip, QSize frameSize) {
    ImageList list;
    list.frameSize_ = frameSize;
    if (frameSize.isEmpty() || strip.height() < frameSize.height()) return list;
    const QImage masked = WithMagentaTransparent(strip);
    for (int left = 0; left + frameSize.width() <= masked.width(); left += frameSize.width())
        list.frames_.push_back(QPixmap::fromImage(masked.copy(QRect(QPoint(left, 0), frameSize))));
    return list;
}

QPixmap ImageList::Frame(int index) const {
    if (index < 0 || index >= Count()) return QPixmap();
    return frames_[static_cast<std::size_t>(index)];
}

}  // namespace tessival

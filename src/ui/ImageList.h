#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <vector>

namespace tessival {

// Equal-sized frames cut from a horizontal strip. Magenta pixels, RGB(255, 0, 255), are
// transparent, so the skin below shows through.
class ImageList {
public:
    ImageList() = default;
    // Frames of `frameSize` from left to right; a strip narrower than a whole frame at its end
    // leaves that remainder out.
    static ImageList FromStrip(const QImage& strip, QSize frameSize);

    int Count() const { return static_cast<int>(frames_.size()); }
    QSize FrameSize() const { return frameSize_; }
    // Null pixmap for an index outside the list.
    QPixmap Frame(int index) const;

private:
    QSize frameSize_;
    std::vector<QPixmap> frames_;
};

// Magenta pixels of the image become fully transparent.
QImage WithMagentaTransparent(const QImage& image);

}  // namespace tessival

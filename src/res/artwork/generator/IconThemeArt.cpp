#include <QDir>
#include <QSvgGenerator>
#include <cstdio>

#include "ArtPainters.h"

namespace tessival::art {
namespace {

constexpr int kThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kSvgSize = 256;

bool MakeFolder(const QString& path) {
    if (QDir().mkpath(path)) return true;
    std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
    return false;
}

bool WriteSvgIcon(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kSvgSize, kSvgSize));
    svg.setViewBox(QRect(0, 0, kSvgSize, kSvgSize));
    svg.setTitle(QStringLiteral("Tessival"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    PaintAppIcon(painter, kSvgSize);
    return painter.end();
}

}  // namespace

bool WriteIconTheme(const QString& hicolor, const QString& iconName) {
    bool ok = true;
    for (int size : kThemeSizes) {
        const QString folder = hicolor + QStringLiteral("/%1x%1/apps").arg(size);
        const QString path = folder + QLatin1Char('/') + iconName + QStringLiteral(".png");
        if (!MakeFolder(folder) || !DrawAppIcon(size).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    const QString scalable = hicolor + QStringLiteral("/scalable/apps");
    return MakeFolder(scalable) && WriteSvgIcon(scalable + QLatin1Char('/') + iconName + QStringLiteral(".svg")) && ok;
}

}  // namespace tessival::art

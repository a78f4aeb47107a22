// Draws the program's artwork into a folder: the skin, the button strips, the list icons and the
// window icon, named after their resource ids; and, given a second folder, the desktop icons there.
//   tessival-artgen src/res/artwork dist/icons/hicolor   (or: cmake --build build --target artwork)
#include <QGuiApplication>
#include <cstdio>

#include "ArtPainters.h"

using tessival::art::Glyph;

namespace {

struct ButtonArt {
    int bitmapId;
    QPoint position;
    Glyph glyph;
    QColor accent;
};

bool Save(const QImage& image, const QString& folder, const QString& name) {
    const QString path = folder + QLatin1Char('/') + name;
    if (image.save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: tessival-artgen FOLDER [HICOLOR_FOLDER]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QColor accent = tessival::art::kAccent;
    const QColor go(96, 226, 140);
    const QColor halt(255, 108, 96);
    const ButtonArt buttons[] = {
        {133, {180, 25}, Glyph::Add, accent},      {134, {230, 25}, Glyph::Delete, halt},
        {135, {280, 25}, Glyph::NewList, accent},  {136, {330, 25}, Glyph::Save, accent},
        {137, {380, 25}, Glyph::Load, accent},     {138, {430, 25}, Glyph::Edit, accent},
        {139, {480, 25}, Glyph::Minimize, accent}, {140, {530, 25}, Glyph::Exit, halt},
        {141, {50, 410}, Glyph::MoveUp, accent},   {142, {100, 410}, Glyph::MoveDown, accent},
        {143, {150, 410}, Glyph::Play, go},        {144, {200, 410}, Glyph::Help, accent},
        {146, {480, 410}, Glyph::Start, go},       {147, {530, 410}, Glyph::Stop, halt},
    };

    const QImage skin = tessival::art::DrawSkin();
    bool ok = Save(skin, folder, QStringLiteral("bitmap130.png"));
    ok = Save(tessival::art::DrawListIcons(), folder, QStringLiteral("bitmap132.png")) && ok;
    for (const ButtonArt& button : buttons) {
        const QImage strip = tessival::art::DrawButtonStrip(skin, button.position, button.glyph, button.accent);
        ok = Save(strip, folder, QStringLiteral("bitmap%1.png").arg(button.bitmapId)) && ok;
    }
    ok = Save(tessival::art::DrawAppIcon(256), folder, QStringLiteral("icon128.png")) && ok;
    if (argc == 3) ok = tessival::art::WriteIconTheme(QString::fromLocal8Bit(argv[2]), QStringLiteral("tessival")) && ok;
    return ok ? 0 : 1;
}

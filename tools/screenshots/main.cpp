// tessival-screenshots FOLDER: saves the README's pictures of the window and its dialogs into
// FOLDER. Needs a display (the Makefile's `screenshots` target starts Xvfb).
#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <cstdio>

#include "ScreenshotMaker.h"
#include "ui/SkinStyle.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    tessival::ApplyAppSkin(app);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessival-screenshots FOLDER\n");
        return 2;
    }
    QTemporaryDir work;
    if (!work.isValid()) return 1;
    tessival::ScreenshotMaker maker(QDir(QString::fromLocal8Bit(argv[1])).absolutePath(), work.path().toStdString());
    return maker.MakeAll() ? 0 : 1;
}

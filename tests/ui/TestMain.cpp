// The window tests need one application object that outlives every test and is gone before
// the libraries' own clean-up runs at exit. It wears the skin the program wears.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

#include "ui/SkinStyle.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    tessival::ApplyAppSkin(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

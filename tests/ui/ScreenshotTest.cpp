// Makes the README's screenshot with the real window when asked to. Under a display, e.g. Xvfb :99,
// run with DISPLAY=:99 QT_QPA_PLATFORM=xcb TESSIVAL_SCREENSHOT_LIST=list.tsl
// TESSIVAL_SCREENSHOT=docs/screenshot.png build/tests/ui/test_ui --gtest_filter='Screenshot*'.
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "WindowFixture.h"

namespace tessival {
namespace {

class ScreenshotTest : public test::WindowTest {};

TEST_F(ScreenshotTest, WindowWithALoadedList) {
    const QString list = qEnvironmentVariable("TESSIVAL_SCREENSHOT_LIST");
    const QString output = qEnvironmentVariable("TESSIVAL_SCREENSHOT");
    if (list.isEmpty() || output.isEmpty()) GTEST_SKIP() << "set TESSIVAL_SCREENSHOT_LIST and TESSIVAL_SCREENSHOT";

    const QFileInfo file(list);
    shell.openAnswers.push_back(ChosenFiles{file.absolutePath().toStdString() + "/", {file.fileName().toStdString()}});
    window.OnCommand(ID_LOAD);
    ASSERT_GT(window.itemList.Count(), 0u);
    ExpectRowsMatchItems();
    window.ListControl().SelectRow(1);
    window.raise();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(500);
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 640, 480);
    ASSERT_TRUE(screen.save(output));
}

}  // namespace
}  // namespace tessival

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <vector>

#include "UiTestSupport.h"
#include "ui/CFlyBtn.h"
#include "ui/CommandTarget.h"

namespace tessival {
namespace {

class CommandRecorder : public CommandTarget {
public:
    std::vector<int> commands;
    void OnCommand(int id) override { commands.push_back(id); }
};

ImageList ThreeFrames() {
    QImage strip(132, 44, QImage::Format_RGB32);
    QPainter painter(&strip);
    painter.fillRect(0, 0, 44, 44, Qt::red);
    painter.fillRect(44, 0, 44, 44, Qt::green);
    painter.fillRect(88, 0, 44, 44, Qt::blue);
    painter.fillRect(0, 0, 4, 4, QColor(255, 0, 255));
    painter.end();
    return ImageList::FromStrip(strip, QSize(44, 44));
}

class CFlyBtnTest : public ::testing::Test, protected test::UsesApp {
protected:
    static constexpr unsigned kId = 1004;
    const QPoint inside{22, 22};
    const QPoint outside{-30, 70};

    void SetUp() override {
        parent.resize(200, 200);
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
        ASSERT_TRUE(button.Create(QStringLiteral("Save "), QRect(60, 60, 44, 44), &parent, ThreeFrames(), false, kId));
        SetAppMainWindow(&recorder);
    }
    void TearDown() override { SetAppMainWindow(nullptr); }

    // The pointer is shared by all tests: move it off first, so that entering is a real move.
    void Hover() {
        QTest::mouseMove(&button, outside);
        QTest::mouseMove(&button, inside);
    }

    QWidget parent;
    CFlyBtn button;
    CommandRecorder recorder;
};

TEST_F(CFlyBtnTest, CompletedClickSendsItsIdToTheMainWindowNotItsParent) {
    Hover();
    EXPECT_TRUE(button.IsHovering());
    EXPECT_EQ(button.ImageIndex(), CFlyBtn::kHoverFrame);
    QTest::mousePress(&button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(button.ImageIndex(), CFlyBtn::kPressedFrame);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(recorder.commands, std::vector<int>{static_cast<int>(kId)});
    EXPECT_EQ(button.ImageIndex(), CFlyBtn::kNormalFrame);
    EXPECT_FALSE(button.IsPressed());
}

TEST_F(CFlyBtnTest, PressLeaveReleaseGivesNoCommand) {
    Hover();
    QTest::mousePress(&button, Qt::LeftButton, {}, inside);
    QTest::mouseMove(&button, outside);
    EXPECT_FALSE(button.IsHovering());
    EXPECT_EQ(button.ImageIndex(), CFlyBtn::kNormalFrame);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, outside);
    EXPECT_TRUE(recorder.commands.empty());
}

TEST_F(CFlyBtnTest, PressLeaveReturnReleaseGivesOneCommand) {
    Hover();
    QTest::mousePress(&button, Qt::LeftButton, {}, inside);
    QTest::mouseMove(&button, outside);
    QTest::mouseMove(&button, QPoint(30, 30));
    EXPECT_TRUE(button.IsHovering());
    EXPECT_EQ(button.ImageIndex(), CFlyBtn::kHoverFrame);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(recorder.commands.size(), 1u);
}

TEST_F(CFlyBtnTest, TwoQuickClicksGiveTwoCommands) {
    Hover();
    QTest::mouseClick(&button, Qt::LeftButton, {}, inside);
    QTest::mouseClick(&button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(recorder.commands.size(), 2u);
}

TEST_F(CFlyBtnTest, DisabledButtonIgnoresInputAndStopsFlashing) {
    button.FlashBtn(true);
    button.EnableWindow(false);
    EXPECT_FALSE(button.Timer(CFlyBtn::kFlashTimer)->isActive());
    Hover();
    EXPECT_FALSE(button.IsHovering());
    QTest::mouseClick(&button, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(recorder.commands.empty());
    EXPECT_EQ(button.DrawnFrame(), CFlyBtn::kNormalFrame);

    button.EnableWindow(true);
    Hover();
    QTest::mouseClick(&button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(recorder.commands.size(), 1u);
}

TEST_F(CFlyBtnTest, DisabledLookIsBlendedUnlessChecked) {
    button.EnableWindow(false);
    const QImage disabled = button.grab().toImage();
    EXPECT_NE(disabled.pixelColor(22, 22), QColor(Qt::red));
    button.CheckBtn(true);
    EXPECT_EQ(button.grab().toImage().pixelColor(22, 22), QColor(Qt::blue));
}

TEST_F(CFlyBtnTest, MagentaPixelsShowTheParentBelow) {
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, Qt::yellow);
    parent.setPalette(palette);
    const QImage shown = parent.grab(QRect(60, 60, 44, 44)).toImage();
    EXPECT_EQ(shown.pixelColor(1, 1), QColor(Qt::yellow));
    EXPECT_EQ(shown.pixelColor(22, 22), QColor(Qt::red));
}

TEST_F(CFlyBtnTest, CheckedButtonShowsPressedFrameWhateverTheMouseDoes) {
    button.CheckBtn(true);
    Hover();
    EXPECT_EQ(button.DrawnFrame(), CFlyBtn::kPressedFrame);
    QTest::mouseMove(&button, outside);
    EXPECT_EQ(button.DrawnFrame(), CFlyBtn::kPressedFrame);
    button.CheckBtn(false);
    EXPECT_EQ(button.DrawnFrame(), CFlyBtn::kNormalFrame);
}

TEST_F(CFlyBtnTest, TooltipShowsAfterTheDelayAndHidesAfterThreeSeconds) {
    Hover();
    const QTimer* delay = button.Timer(CFlyBtn::kTipDelayTimer);
    ASSERT_TRUE(delay->isActive());
    EXPECT_EQ(delay->interval(), 1000);
    EXPECT_FALSE(button.Tip()->isVisible());

    button.OnTimer(CFlyBtn::kTipDelayTimer);
    EXPECT_FALSE(delay->isActive());
    EXPECT_TRUE(button.Tip()->isVisible());
    EXPECT_EQ(button.Tip()->Text(), QStringLiteral("Save "));
    const QTimer* hide = button.Timer(CFlyBtn::kTipHideTimer);
    ASSERT_TRUE(hide->isActive());
    EXPECT_EQ(hide->interval(), 3000);

    button.OnTimer(CFlyBtn::kTipHideTimer);
    EXPECT_FALSE(button.Tip()->isVisible());
    EXPECT_FALSE(hide->isActive());
}

TEST_F(CFlyBtnTest, TooltipFollowsTheRealTimers) {
    Hover();
    EXPECT_TRUE(QTest::qWaitFor([this] { return button.Tip()->isVisible(); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !button.Tip()->isVisible(); }, 8000));
}

TEST_F(CFlyBtnTest, LeavingOrPressingHidesTheTooltip) {
    Hover();
    button.OnTimer(CFlyBtn::kTipDelayTimer);
    ASSERT_TRUE(button.Tip()->isVisible());
    QTest::mouseMove(&button, outside);
    EXPECT_FALSE(button.Tip()->isVisible());
    EXPECT_FALSE(button.Timer(CFlyBtn::kTipDelayTimer)->isActive());

    Hover();
    button.OnTimer(CFlyBtn::kTipDelayTimer);
    QTest::mousePress(&button, Qt::LeftButton, {}, inside);
    EXPECT_FALSE(button.Tip()->isVisible());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, inside);
}

TEST_F(CFlyBtnTest, FlashingAlternatesFramesOnlyWhileEnabled) {
    button.FlashBtn(true);
    EXPECT_EQ(button.Timer(CFlyBtn::kFlashTimer)->interval(), 500);
    button.OnTimer(CFlyBtn::kFlashTimer);
    EXPECT_EQ(button.ImageIndex(), CFlyBtn::kHoverFrame);
    button.OnTimer(CFlyBtn::kFlashTimer);
    EXPECT_EQ(button.ImageIndex(), CFlyBtn::kNormalFrame);
    button.FlashBtn(false);
    EXPECT_FALSE(button.Timer(CFlyBtn::kFlashTimer)->isActive());

    button.EnableWindow(false);
    button.FlashBtn(true);
    button.OnTimer(CFlyBtn::kFlashTimer);
    EXPECT_EQ(button.ImageIndex(), CFlyBtn::kNormalFrame);
    EXPECT_TRUE(button.Timer(CFlyBtn::kFlashTimer)->isActive());
}

TEST(CFlyBtnWithoutText, HasNoTooltipAndIgnoresSetText) {
    test::App();
    QWidget parent;
    CFlyBtn button;
    ASSERT_TRUE(button.Create(QString(), QRect(0, 0, 44, 44), &parent, ThreeFrames(), false, 1001));
    EXPECT_EQ(button.Tip(), nullptr);
    button.SetText(QStringLiteral("Add "));
    EXPECT_EQ(button.Tip(), nullptr);
    button.OnTimer(CFlyBtn::kTipDelayTimer);
    EXPECT_FALSE(button.Timer(CFlyBtn::kTipHideTimer)->isActive());
}

TEST(CFlyBtnCreate, FailsWithoutParent) {
    test::App();
    CFlyBtn button;
    EXPECT_FALSE(button.Create(QStringLiteral("Add "), QRect(0, 0, 44, 44), nullptr, ThreeFrames(), false, 1001));
}

TEST(ImageListFromStrip, CutsWholeFramesAndMakesMagentaTransparent) {
    test::App();
    QImage strip(135, 44, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    const ImageList list = ImageList::FromStrip(strip, QSize(44, 44));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Frame(0).toImage().pixelColor(5, 5).alpha(), 0);
    EXPECT_TRUE(list.Frame(3).isNull());
}

}  // namespace
}  // namespace tessival

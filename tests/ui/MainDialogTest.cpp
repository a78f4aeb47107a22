#include <QContextMenuEvent>
#include <QCursor>
#include <QFontDatabase>
#include <QRawFont>
#include <QStyleOptionViewItem>
#include <cstdlib>
#include <QMenu>
#include <QTest>

#include "WindowFixture.h"
#include "res/StringTable.h"
#include "ui/AboutDialog.h"
#include "ui/Artwork.h"
#include "ui/ButtonTable.h"
#include "ui/InvalidItemsDialog.h"

namespace tessival {
namespace {

using test::WhenModal;
using test::WindowTest;

std::vector<std::pair<std::string, int>> MenuEntries(QWidget* popup) {
    std::vector<std::pair<std::string, int>> entries;
    for (QAction* action : static_cast<QMenu*>(popup)->actions())
        entries.emplace_back(action->isSeparator() ? "-" : action->text().toStdString(), action->data().toInt());
    return entries;
}

void Choose(QWidget* popup, const QString& text) {
    auto* menu = static_cast<QMenu*>(popup);
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
            return;
        }
    }
    menu->close();
}

class MainDialogTest : public WindowTest {};

TEST_F(MainDialogTest, OpensFramelessAtTheTopLeftCorner) {
    EXPECT_EQ(window.geometry(), QRect(0, 0, 640, 480));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kestrane Tessival"));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.ListControl().geometry(), QRect(34, 88, 570, 307));
}

TEST_F(MainDialogTest, ListHasTheSixColumns) {
    ItemListView& list = window.ListControl();
    const std::vector<std::pair<QString, int>> expected = {{"Source name", 90}, {"Source type", 90},
                                                           {"Dest name", 85},   {"Dest type", 80},
                                                           {"Dest path", 120},  {"Status", 80}};
    ASSERT_EQ(list.columnCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(list.headerItem()->text(i), expected[static_cast<std::size_t>(i)].first);
        EXPECT_EQ(list.columnWidth(i), expected[static_cast<std::size_t>(i)].second);
    }
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(MainDialogTest, FourteenButtonsWithTheirTipsAndPlaces) {
    struct Expected {
        int command;
        QString tip;
        QPoint place;
    };
    const std::vector<Expected> expected = {
        // The tips name the keys of their commands.
        {1001, "Add (Ins, Ctrl+O)", {180, 25}},   {1002, "Delete (Del)", {230, 25}},
        {1003, "New List (Ctrl+N)", {280, 25}},   {1004, "Save (Ctrl+S)", {330, 25}},
        {1005, "Load (Ctrl+L)", {380, 25}},       {1006, "Edit (F2)", {430, 25}},
        {1007, "Minimize ", {480, 25}},           {1008, "Exit ", {530, 25}},
        {1009, "Move Up (Ctrl+Up)", {50, 410}},   {1010, "Move Down (Ctrl+Down)", {100, 410}},
        {1011, "Play ", {150, 410}},              {1012, "Help (F1)", {200, 410}},
        {1014, "Start Convert ! (F5)", {480, 410}}, {1015, "Stop (Shift+F5)", {530, 410}},
    };
    for (const Expected& entry : expected) {
        CFlyBtn* button = window.Button(entry.command);
        ASSERT_NE(button, nullptr) << entry.command;
        EXPECT_EQ(button->parentWidget(), &window);
        EXPECT_EQ(button->geometry(), QRect(entry.place, QSize(44, 44))) << entry.command;
        EXPECT_EQ(button->CommandId(), static_cast<unsigned>(entry.command));
        ASSERT_NE(button->Tip(), nullptr);
        EXPECT_EQ(button->Tip()->Text(), entry.tip) << entry.command;
    }
    EXPECT_EQ(ButtonTable().size(), expected.size());
    EXPECT_EQ(window.Button(1013)->parentWidget(), nullptr);
}

TEST_F(MainDialogTest, SkinIsPaintedUnderTheButtons) {
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage skin = SkinBitmap().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(skin.size(), QSize(640, 480));
    EXPECT_EQ(shown.pixel(3, 3), skin.pixel(3, 3));
    EXPECT_EQ(shown.pixel(320, 470), skin.pixel(320, 470));
    // The Add button's corner is magenta in its strip: the skin shows through.
    ASSERT_EQ(LoadBitmap(133).pixelColor(0, 0), QColor(255, 0, 255));
    EXPECT_EQ(shown.pixel(180, 25), skin.pixel(180, 25));
    // Its centre is the button's own normal frame.
    EXPECT_EQ(shown.pixel(202, 47), LoadBitmap(133).convertToFormat(QImage::Format_RGB32).pixel(22, 22));
}

TEST_F(MainDialogTest, EnterDoesNothing) {
    QTest::keyClick(&window, Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_Enter);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainDialogTest, ExitButtonEndsTheWindow) {
    CFlyBtn* exit = window.Button(ID_EXIT);
    QTest::mouseMove(exit, QPoint(-5, -5));
    QTest::mouseMove(exit, QPoint(20, 20));
    QTest::mouseClick(exit, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), IDOK);
    EXPECT_EQ(window.PropertiesDialog(), nullptr);
}

TEST_F(MainDialogTest, ExitAndEscapeAreRefusedDuringARun) {
    window.converting = true;
    window.OnCommand(ID_EXIT);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[0].text, LoadString(IDS_STOP_BEFORE_EXIT));
    EXPECT_EQ(shell.messages[0].buttons, MessageButtons::Ok);
    window.converting = false;
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainDialogTest, AddOpensItsMenuBelowTheButton) {
    std::vector<std::pair<std::string, int>> entries;
    QPoint shownAt;
    WhenModal popup(WhenModal::Kind::Popup, [&](QWidget* menu) {
        entries = MenuEntries(menu);
        shownAt = menu->pos();
        Choose(menu, QStringLiteral("From File"));
    });
    shell.openAnswers.push_back(ChosenFiles{"/music/", {"a.mp3"}});
    window.OnCommand(ID_ADD);
    EXPECT_EQ(entries, (std::vector<std::pair<std::string, int>>{
                           {"From File", ID_ADD_FROM_FILE}, {"From CDROM", ID_ADD_FROM_CDROM},
                           {"From Capturer", ID_ADD_FROM_CAPTURER}}));
    EXPECT_EQ(shownAt, window.mapToGlobal(QPoint(180, 69)));
    EXPECT_EQ(window.itemList.Count(), 1u);
    ExpectRowsMatchItems();
}

TEST_F(MainDialogTest, AddOpensNoMenuDuringARun) {
    WhenModal popup(WhenModal::Kind::Popup, [](QWidget* menu) { menu->close(); });
    window.converting = true;
    window.OnCommand(ID_ADD);
    QTest::qWait(30);
    EXPECT_EQ(popup.Seen(), 0);
}

TEST_F(MainDialogTest, RightClickOnTheListOffersTheItemMenu) {
    AddFiles("/music/", {"a.mp3", "b.mp3"});
    window.ListControl().SelectRow(0);
    std::vector<std::pair<std::string, int>> entries;
    WhenModal popup(WhenModal::Kind::Popup, [&](QWidget* menu) {
        entries = MenuEntries(menu);
        Choose(menu, QStringLiteral("Delete"));
    });
    QWidget* viewport = window.ListControl().viewport();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &click);
    EXPECT_EQ(entries, (std::vector<std::pair<std::string, int>>{{"Edit", ID_EDIT},
                                                                 {"-", 0},
                                                                 {"Move up", ID_MOVE_UP},
                                                                 {"Move down", ID_MOVE_DOWN},
                                                                 {"Play", ID_PLAY},
                                                                 {"-", 0},
                                                                 {"Delete", ID_DELETE}}));
    EXPECT_EQ(SourceNames(), std::vector<std::string>{"b.mp3"});
}

TEST_F(MainDialogTest, DraggingTheSkinMovesTheWindow) {
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&window, QPoint(60, 40));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(60, 40));
    EXPECT_EQ(window.pos(), QPoint(50, 30));
}

TEST_F(MainDialogTest, SystemMenuMoveFollowsThePointerUntilAClick) {
    QCursor::setPos(100, 100);
    window.OnSysCommand(MainDialog::kSysMove);
    const QPoint start = window.pos();
    QMouseEvent moved(QEvent::MouseMove, QPointF(0, 0), QPointF(180, 130), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(&window, &moved);
    EXPECT_EQ(window.pos(), start + QPoint(80, 30));
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent after(QEvent::MouseMove, QPointF(0, 0), QPointF(400, 400), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(&window, &after);
    EXPECT_EQ(window.pos(), start + QPoint(80, 30));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(MainDialogTest, ListCellsShowShortStatusesWholeAndTellEveryTextInATooltip) {
    AddFiles("/music/", {"a rather long file name that cannot fit its column.mp3"});
    ItemListView& list = window.ListControl();
    // The width the text needs beside the width the view gives it.
    const auto widths = [&list](int column, const QString& text) {
        list.SetCellText(0, column, text);
        QStyleOptionViewItem option;
        option.initFrom(list.viewport());
        option.font = list.font();
        option.rect = list.visualRect(list.model()->index(0, column));
        option.text = text;
        option.features |= QStyleOptionViewItem::HasDisplay;
        const QRect textRect = list.style()->subElementRect(QStyle::SE_ItemViewItemText, &option, &list);
        return std::pair(QFontMetrics(list.font()).horizontalAdvance(text), textRect.width());
    };
    const auto fits = [&widths](int column, const QString& text) {
        const auto [needed, given] = widths(column, text);
        EXPECT_LE(needed, given) << text.toStdString();
    };
    for (const char* status : {"Complete(999s)", "Complete(1234s)", "Doing...9999", "User abort", "Init...", "Ready"})
        fits(5, QString::fromLatin1(status));
    fits(3, QStringLiteral("UNSPECIFIED"));
    fits(1, QStringLiteral("UNKNOWN"));

    list.SetCellText(0, 5, QStringLiteral("Error: The source file is damaged or is not a media file."));
    EXPECT_EQ(list.topLevelItem(0)->toolTip(5), QStringLiteral("Error: The source file is damaged or is not a media file."));
    EXPECT_EQ(list.topLevelItem(0)->toolTip(0), QStringLiteral("a rather long file name that cannot fit its column.mp3"));
}

TEST_F(MainDialogTest, TheAboutEntrysChineseWordHasAFontToShowIt) {
    const QString about = QString::fromStdString(LoadString(IDS_ABOUTBOX));
    ASSERT_TRUE(about.startsWith(QString::fromUtf8("关于")));
    // The menu's font or one fontconfig falls back to must hold the characters, or they show as boxes.
    bool covered = false;
    for (const QString& family : QFontDatabase::families(QFontDatabase::SimplifiedChinese)) {
        const QRawFont raw = QRawFont::fromFont(QFont(family, 9));
        covered = covered || (raw.supportsCharacter(about.at(0)) && raw.supportsCharacter(about.at(1)));
    }
    EXPECT_TRUE(covered);
}

TEST_F(MainDialogTest, DisplaySumsTheListUpWhenIdle) {
    const std::string tone = dir.Path() + "/tone.wav";
    ASSERT_EQ(std::system(("ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=2.5 " + tone)
                              .c_str()),
              0);
    EXPECT_EQ(window.Display().Caption(), QStringLiteral("0 items"));
    AddFile(tone);
    AddFiles("/nowhere/", {"missing.mp3"});
    ASSERT_TRUE(QTest::qWaitFor([this] {
        window.UpdateDisplay();
        return window.Display().Detail() == QStringLiteral("Total 0:02 + 1 unknown");
    }, 10000)) << window.Display().Detail().toStdString();
    EXPECT_EQ(window.Display().Caption(), QStringLiteral("2 items"));
    EXPECT_EQ(window.Display().Percent(), -1);
}

TEST_F(MainDialogTest, AboutOpensFromHelpAndFromTheSystemMenu) {
    int abouts = 0;
    WhenModal dialog(WhenModal::Kind::Dialog, [&abouts](QWidget* shown) {
        if (qobject_cast<QDialog*>(shown) && shown->windowTitle() == QStringLiteral("Tessival Help")) ++abouts;
        static_cast<QDialog*>(shown)->reject();
    });
    window.OnCommand(ID_HELP);
    window.OnSysCommand(IDM_ABOUTBOX);
    EXPECT_EQ(abouts, 2);
}

TEST_F(MainDialogTest, SystemMenuOffersMoveMinimizeCloseAndAbout) {
    std::vector<std::pair<std::string, int>> entries;
    WhenModal popup(WhenModal::Kind::Popup, [&](QWidget* menu) {
        entries = MenuEntries(menu);
        static_cast<QMenu*>(menu)->close();
    });
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Space, Qt::AltModifier);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].second, MainDialog::kSysMove);
    EXPECT_EQ(entries[1].second, MainDialog::kSysMinimize);
    EXPECT_EQ(entries[2].second, MainDialog::kSysClose);
    EXPECT_EQ(entries[4], (std::pair<std::string, int>{LoadString(IDS_ABOUTBOX), IDM_ABOUTBOX}));
}

TEST_F(MainDialogTest, StartWithAnEmptyListShowsTheInvalidItemsDialog) {
    int rows = -1;
    WhenModal dialog(WhenModal::Kind::Dialog, [&rows](QWidget* shown) {
        if (auto* invalid = dynamic_cast<InvalidItemsDialog*>(shown)) rows = invalid->List().topLevelItemCount();
        static_cast<QDialog*>(shown)->reject();
    });
    window.OnCommand(ID_START);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(window.runsBegun, 0);
}

TEST_F(MainDialogTest, StartListsTheIncompleteItemsAndStartsOnlyWhenAllAreComplete) {
    AddFiles(dir.Path() + "/", {"a.mp3", "b.xyz"});
    std::vector<std::string> listed;
    WhenModal dialog(WhenModal::Kind::Dialog, [&listed](QWidget* shown) {
        if (auto* invalid = dynamic_cast<InvalidItemsDialog*>(shown)) {
            for (int row = 0; row < invalid->List().topLevelItemCount(); ++row)
                listed.push_back(invalid->List().topLevelItem(row)->text(0).toStdString());
        }
        static_cast<QDialog*>(shown)->reject();
    });
    window.OnCommand(ID_START);
    EXPECT_EQ(listed, (std::vector<std::string>{"a.mp3", "b.xyz"}));
    EXPECT_EQ(window.runsBegun, 0);

    for (std::size_t i = 0; i < window.itemList.Count(); ++i) {
        ConvertItem& item = *window.itemList.At(static_cast<std::ptrdiff_t>(i));
        WriteField(item.destType, "WAV");
        item.quality.nChannels = 2;
    }
    listed.clear();
    window.OnCommand(ID_START);  // the unknown source type alone does not stop a start
    EXPECT_TRUE(listed.empty());
    EXPECT_EQ(window.runsBegun, 1);

    window.converting = true;
    window.OnCommand(ID_START);
    EXPECT_EQ(window.runsBegun, 1);
}

TEST_F(MainDialogTest, StopActsOnlyDuringARun) {
    window.OnCommand(ID_STOP);
    EXPECT_EQ(window.stopsAsked, 0);
    window.converting = true;
    window.OnCommand(ID_STOP);
    EXPECT_EQ(window.stopsAsked, 1);
}

}  // namespace
}  // namespace tessival

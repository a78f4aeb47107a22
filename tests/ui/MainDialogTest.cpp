#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include "WindowFixture.h"
#include "joblist/ItemColumns.h"
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
    ASSERT_EQ(list.columnCount(), kItemColumnCount);
    for (int i = 0; i < kItemColumnCount; ++i) {
        const ItemColumn& column = ItemColumns()[static_cast<std::size_t>(i)];
        EXPECT_EQ(list.headerItem()->text(i).toStdString(), column.header);
        EXPECT_EQ(list.columnWidth(i), column.width);
    }
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(MainDialogTest, FourteenButtonsWithTheirTipsAndPlaces) {
    int created = 0;
    for (const ButtonEntry& entry : ButtonTable()) {
        CFlyBtn* button = window.Button(entry.commandId);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->parentWidget(), &window);
        EXPECT_EQ(button->geometry(), QRect(entry.position, QSize(44, 44)));
        EXPECT_EQ(button->CommandId(), static_cast<unsigned>(entry.commandId));
        ASSERT_NE(button->Tip(), nullptr);
        EXPECT_EQ(button->Tip()->Text().toStdString(), LoadString(entry.tipStringId));
        ++created;
    }
    EXPECT_EQ(created, 14);
    EXPECT_EQ(window.Button(1013)->parentWidget(), nullptr);
    EXPECT_EQ(window.Button(ID_START)->Tip()->Text(), QStringLiteral("Start Convert !"));
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

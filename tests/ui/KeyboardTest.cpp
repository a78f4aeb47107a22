#include <QAccessible>
#include <QApplication>
#include <QTest>

#include "WindowFixture.h"
#include "ui/ButtonTable.h"
#include "ui/KeyboardShortcuts.h"

namespace tessival {
namespace {

using test::WindowTest;

// A main window that only notes the commands its keys send.
class CommandLog : public MainDialog {
public:
    using MainDialog::MainDialog;
    void OnCommand(int id) override { commands.push_back(id); }
    std::vector<int> commands;
};

class KeyboardTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget* Focused() { return QApplication::focusWidget(); }
};

TEST_F(KeyboardTest, TabWalksTheButtonsAndTheListInTheirLayoutOrder) {
    ASSERT_EQ(Focused(), &window.ListControl());
    std::vector<int> reached;  // command ids, 0 for the list
    for (int step = 0; step < 15; ++step) {
        QTest::keyClick(Focused(), Qt::Key_Tab);
        auto* button = dynamic_cast<CFlyBtn*>(Focused());
        reached.push_back(button ? static_cast<int>(button->CommandId()) : (Focused() == &window.ListControl() ? 0 : -1));
    }
    EXPECT_EQ(reached, (std::vector<int>{ID_MOVE_UP, ID_MOVE_DOWN, ID_PLAY, ID_HELP, ID_START, ID_STOP, ID_ADD,
                                         ID_DELETE, ID_NEW_LIST, ID_SAVE, ID_LOAD, ID_EDIT, ID_MINIMIZE, ID_EXIT, 0}));
}

TEST_F(KeyboardTest, AFocusedButtonShowsARingAndSpaceOrEnterPressesIt) {
    CFlyBtn* save = window.Button(ID_SAVE);
    const QImage unfocused = save->grab().toImage();
    save->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(Focused(), save);
    EXPECT_NE(save->grab().toImage(), unfocused);
    QTest::keyClick(save, Qt::Key_Space);
    QTest::keyClick(save, Qt::Key_Return);
    EXPECT_EQ(shell.saveFilters.size(), 2u);
    // A disabled button takes the keys without acting.
    save->EnableWindow(false);
    QTest::keyClick(save, Qt::Key_Space);
    EXPECT_EQ(shell.saveFilters.size(), 2u);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(KeyboardTest, EachKeySendsItsCommand) {
    CommandLog log(shell, QString::fromStdString(dir.Path()));
    log.show();
    log.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&log));
    const std::vector<std::pair<QKeyCombination, int>> keys = {
        {QKeyCombination(Qt::Key_Insert), ID_ADD_FROM_FILE}, {Qt::CTRL | Qt::Key_O, ID_ADD_FROM_FILE},
        {QKeyCombination(Qt::Key_Delete), ID_DELETE},        {Qt::CTRL | Qt::Key_N, ID_NEW_LIST},
        {Qt::CTRL | Qt::Key_S, ID_SAVE},                     {Qt::CTRL | Qt::Key_L, ID_LOAD},
        {QKeyCombination(Qt::Key_F2), ID_EDIT},              {QKeyCombination(Qt::Key_Return), ID_EDIT},
        {Qt::CTRL | Qt::Key_Up, ID_MOVE_UP},                 {Qt::CTRL | Qt::Key_Down, ID_MOVE_DOWN},
        {QKeyCombination(Qt::Key_F5), ID_START},             {Qt::SHIFT | Qt::Key_F5, ID_STOP},
        {QKeyCombination(Qt::Key_F1), ID_HELP},              {Qt::SHIFT | Qt::Key_F10, kShowItemMenuCommand},
        {QKeyCombination(Qt::Key_Menu), kShowItemMenuCommand},
    };
    for (const auto& [key, command] : keys) {
        log.commands.clear();
        QTest::keyClick(&log.ListControl(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(log.commands, std::vector<int>{command}) << QKeySequence(key).toString().toStdString();
    }
}

TEST_F(KeyboardTest, ShortcutsActOnTheListAndAreNamedInTheTips) {
    AddFiles("/music/", {"a.mp3", "b.mp3", "c.mp3"});
    window.ListControl().SelectRow(0);
    QTest::keyClick(&window.ListControl(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"b.mp3", "a.mp3", "c.mp3"}));
    QTest::keyClick(&window.ListControl(), Qt::Key_Delete);
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"b.mp3", "c.mp3"}));
    QTest::keyClick(&window.ListControl(), Qt::Key_Return);
    EXPECT_TRUE(window.PropertiesDialog()->isVisible());

    EXPECT_EQ(window.Button(ID_ADD)->Tip()->Text(), QStringLiteral("Add (Ins, Ctrl+O)"));
    EXPECT_EQ(window.Button(ID_STOP)->Tip()->Text(), QStringLiteral("Stop (Shift+F5)"));
    EXPECT_EQ(window.Button(ID_MINIMIZE)->Tip()->Text(), QStringLiteral("Minimize "));
}

TEST_F(KeyboardTest, FocusShowsOnTheDialogsControls) {
    AddFiles("/music/", {"a.mp3"});
    window.ListControl().SelectRow(0);
    window.OnCommand(ID_EDIT);
    QWidget* properties = window.PropertiesDialog();
    ASSERT_TRUE(QTest::qWaitFor([properties] { return QApplication::activeWindow() == properties; }, 2000));
    QWidget* first = QApplication::focusWidget();
    ASSERT_NE(first, nullptr);
    const QImage focused = first->grab().toImage();
    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), first);
    EXPECT_NE(first->grab().toImage(), focused) << first->metaObject()->className();
}

TEST_F(KeyboardTest, ARightClickOnTheSkinOpensTheSystemMenu) {
    int entries = 0;
    QPoint shownAt;
    test::WhenModal popup(test::WhenModal::Kind::Popup, [&](QWidget* menu) {
        entries = static_cast<int>(menu->actions().size());
        shownAt = menu->pos();
        menu->close();
    });
    QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(100, 12));
    EXPECT_EQ(entries, 5);  // Move, Minimize, Close, a separator and About
    EXPECT_EQ(shownAt, window.mapToGlobal(QPoint(100, 12)));
    EXPECT_EQ(window.pos(), QPoint(0, 0));  // a right button never drags the skin
}

TEST_F(KeyboardTest, EveryControlOfTheWindowHasAnAccessibleName) {
    AddFiles("/music/", {"a.mp3"});
    window.ListControl().SelectRow(0);
    window.OnCommand(ID_EDIT);
    for (QWidget* top : {static_cast<QWidget*>(&window), static_cast<QWidget*>(window.PropertiesDialog())}) {
        for (QWidget* child : top->findChildren<QWidget*>()) {
            if (!child->isVisible() || child->focusPolicy() == Qt::NoFocus) continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(child);
            ASSERT_NE(accessible, nullptr);
            EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << child->metaObject()->className();
        }
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window.ListControl())->text(QAccessible::Name),
              QStringLiteral("Items to convert"));
    QAccessibleInterface* stop = QAccessible::queryAccessibleInterface(window.Button(ID_STOP));
    EXPECT_EQ(stop->role(), QAccessible::Button);
    EXPECT_EQ(stop->text(QAccessible::Name), QStringLiteral("Stop"));
    EXPECT_EQ(stop->text(QAccessible::Description), QStringLiteral("Stop (Shift+F5)"));
    ASSERT_NE(stop->actionInterface(), nullptr);
    window.converting = true;
    stop->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(window.stopsAsked, 1);
}

}  // namespace
}  // namespace tessival

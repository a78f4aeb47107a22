#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "WindowFixture.h"
#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "res/StringTable.h"
#include "ui/LastList.h"

namespace tessival {
namespace {

using test::TempDir;
using test::WindowTest;

std::vector<std::string> Names(const ItemList& list) {
    std::vector<std::string> names;
    list.ForEach([&names](const ConvertItem& item) { names.push_back(ReadField(item.sourceName)); });
    return names;
}

TEST(LastListTest, IsKeptUnderTheStateFolderAndAnEmptyListLeavesNothing) {
    const char* saved = std::getenv("XDG_STATE_HOME");
    const std::string before = saved ? saved : "";
    ::setenv("XDG_STATE_HOME", "/var/state-here", 1);
    EXPECT_EQ(LastListPath(), "/var/state-here/tessival/last.tsl");
    ::setenv("XDG_STATE_HOME", "relative/ignored", 1);
    EXPECT_EQ(LastListPath(), std::string(std::getenv("HOME")) + "/.local/state/tessival/last.tsl");
    saved ? ::setenv("XDG_STATE_HOME", before.c_str(), 1) : ::unsetenv("XDG_STATE_HOME");

    TempDir dir;
    const std::string path = dir.Path() + "/new/folder/last.tsl";
    ItemList list;
    list.Append(MakeSingleFileItem("/music/a.mp3"));
    list.Append(MakeSingleFileItem("/music/b.wav"));
    ASSERT_TRUE(KeepLastList(list, path));
    ItemList read;
    ASSERT_TRUE(ReadLastList(read, path));
    EXPECT_EQ(Names(read), (std::vector<std::string>{"a.mp3", "b.wav"}));

    ASSERT_TRUE(KeepLastList(ItemList(), path));
    EXPECT_FALSE(std::filesystem::exists(path));
    ItemList none;
    EXPECT_FALSE(ReadLastList(none, path));
    // A folder in the way of the file: the list cannot be kept, and says so.
    std::filesystem::create_directories(path);
    EXPECT_FALSE(KeepLastList(list, path));
}

class LastListWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window.SetLastListFile(keptFile);
    }
    std::string keptFile = dir.Path() + "/state/tessival/last.tsl";
};

TEST_F(LastListWindowTest, EscapeAfterEditHidesOnlyThePropertiesWindow) {
    AddFiles("/music/", {"a.mp3", "b.mp3"});
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.ListControl().SelectRow(1);
    window.OnCommand(ID_EDIT);
    QWidget* properties = window.PropertiesDialog();
    // A tool window counts as active with its owner; only the application's own answer tells.
    ASSERT_TRUE(QTest::qWaitFor([properties] { return QApplication::activeWindow() == properties; }, 2000));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->window(), properties);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(properties->isVisible());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"a.mp3", "b.mp3"}));
}

TEST_F(LastListWindowTest, EveryExitKeepsTheListAndTheNextStartOffersItBack) {
    AddFiles("/music/", {"a.mp3", "b.mp3"});
    QTest::keyClick(&window, Qt::Key_Escape);
    ASSERT_FALSE(window.isVisible());
    ItemList kept;
    ASSERT_EQ(ReadListFile(keptFile, kept), ListFileResult::Ok);
    EXPECT_EQ(Names(kept), (std::vector<std::string>{"a.mp3", "b.mp3"}));

    test::RecordingMainDialog declined(shell, QString::fromStdString(dir.Path()));
    declined.SetLastListFile(keptFile);
    shell.messageAnswers.push_back(IDCANCEL);
    declined.OfferLastList();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "Restore the list you were working on?");
    EXPECT_EQ(shell.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(declined.itemList.Count(), 0u);

    test::RecordingMainDialog restored(shell, QString::fromStdString(dir.Path()));
    restored.SetLastListFile(keptFile);
    shell.messageAnswers.push_back(IDOK);
    restored.OfferLastList();
    EXPECT_EQ(Names(restored.itemList), (std::vector<std::string>{"a.mp3", "b.mp3"}));
    EXPECT_EQ(restored.ListControl().RowCount(), 2);

    // Leaving with an empty list leaves nothing to offer.
    restored.OnCommand(ID_NEW_LIST);
    restored.OnCommand(ID_EXIT);
    EXPECT_FALSE(std::filesystem::exists(keptFile));
    restored.OfferLastList();
    EXPECT_EQ(shell.messages.size(), 2u);
}

}  // namespace
}  // namespace tessival

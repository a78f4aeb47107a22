#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "WindowFixture.h"
#include "support/RunProcess.h"
#include "joblist/ItemTypes.h"
#include "engine/sources/SourceAdding.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using test::WindowTest;

class ListCommandsTest : public WindowTest {
protected:
    void AddThree() { AddFiles("/music/", {"a.mp3", "b.wav", "c.wma"}); }
    void Select(int row) { window.ListControl().SelectRow(row); }
    int Selected() { return window.ListControl().SelectedRow(); }
    ConvertItem* Shown() { return window.PropertiesDialog()->Item(); }
    void ListCommandsLoad(const std::string& path) {
        const auto slash = path.rfind('/');
        shell.openAnswers.push_back(ChosenFiles{path.substr(0, slash + 1), {path.substr(slash + 1)}});
        window.OnCommand(ID_LOAD);
    }
};

TEST_F(ListCommandsTest, SingleFileSplitsAtTheLastDot) {
    AddFile("/music/Song.Live.mp3");
    ASSERT_EQ(window.itemList.Count(), 1u);
    const ConvertItem& item = *window.itemList.At(0);
    EXPECT_EQ(ReadField(item.sourceName), "Song.Live.mp3");
    EXPECT_EQ(ReadField(item.sourcePath), "/music/Song.Live.mp3");
    EXPECT_EQ(ReadField(item.sourceExt), "mp3");
    EXPECT_EQ(ReadField(item.sourceType), "MP3");
    EXPECT_EQ(ReadField(item.destName), "Song.Live");
    EXPECT_EQ(ReadField(item.destPath), "/music/");
    EXPECT_EQ(ReadField(item.destType), "UNSPECIFIED");
    EXPECT_EQ(ReadField(item.status), "Ready");
    ExpectRowsMatchItems();
    ASSERT_EQ(shell.openFilters.size(), 1u);
    EXPECT_EQ(shell.openFilters[0], ExtendedMediaFilter(LoadString(123), LoadString(IDS_MORE_MEDIA_FILTER)));
    EXPECT_TRUE(shell.openMultiSelect[0]);
    EXPECT_EQ(Selected(), -1);
}

TEST_F(ListCommandsTest, SeveralFilesSplitAtTheFirstDotInDialogOrder) {
    AddFiles("/", {"Song.Live.mp3", "Intro", "Track.WAV"});
    ASSERT_EQ(window.itemList.Count(), 3u);
    const ConvertItem& song = *window.itemList.At(0);
    EXPECT_EQ(ReadField(song.sourceExt), "live.mp3");
    EXPECT_EQ(ReadField(song.sourceType), "UNKNOWN");
    EXPECT_EQ(ReadField(song.destName), "Song");
    EXPECT_EQ(ReadField(song.destPath), "/");
    EXPECT_EQ(ReadField(song.sourcePath), "/Song.Live.mp3");
    EXPECT_EQ(ReadField(window.itemList.At(1)->destName), "");
    EXPECT_EQ(ReadField(window.itemList.At(2)->sourceType), "WAV");
    ExpectRowsMatchItems();
}

TEST_F(ListCommandsTest, FilesTooLongForTheirFieldsAreRefusedWithAMessage) {
    const std::string folder = "/music/" + std::string(150, 'd') + "/";
    const std::string longName = std::string(80, 'n') + ".wav";
    AddFile(folder + longName);
    EXPECT_EQ(window.itemList.Count(), 0u);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LoadString(162, {"79", folder + longName}));

    // Of several files, those that fit are added and one message names the others.
    const std::string longPath = std::string(100, 'p') + ".mp3";
    AddFiles(folder, {"a.wav", longName, longPath, "b.mp3"});
    ASSERT_EQ(window.itemList.Count(), 2u);
    EXPECT_EQ(ReadField(window.itemList.At(0)->sourceName), "a.wav");
    EXPECT_EQ(ReadField(window.itemList.At(1)->sourceName), "b.mp3");
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[1].text,
              LoadString(162, {"79", folder + longName}) + "\n\n" + LoadString(161, {"254", folder + longPath}));
    ExpectRowsMatchItems();
}

TEST_F(ListCommandsTest, CancelledFileDialogAddsNothing) {
    shell.openAnswers.push_back(std::nullopt);
    window.OnCommand(ID_ADD_FROM_FILE);
    EXPECT_EQ(window.itemList.Count(), 0u);
    EXPECT_EQ(window.ListControl().RowCount(), 0);
}

TEST_F(ListCommandsTest, DeleteSelectsTheNextItemAndNeverLeavesTheWindowOnAGoneRecord) {
    AddThree();
    Select(1);
    window.OnCommand(ID_DELETE);
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"a.mp3", "c.wma"}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Shown(), window.itemList.At(1));
    ExpectRowsMatchItems();

    window.OnCommand(ID_DELETE);  // the last item: nothing is selected afterwards
    EXPECT_EQ(SourceNames(), std::vector<std::string>{"a.mp3"});
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(Shown(), nullptr);
    window.OnCommand(ID_DELETE);  // no selection: nothing happens
    EXPECT_EQ(window.itemList.Count(), 1u);

    Select(0);
    window.OnCommand(ID_DELETE);
    EXPECT_TRUE(window.itemList.Empty());
    ExpectRowsMatchItems();
}

TEST_F(ListCommandsTest, MovesKeepTheMovedItemSelectedAndShown) {
    AddThree();
    Select(1);
    window.OnCommand(ID_MOVE_UP);
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"b.wav", "a.mp3", "c.wma"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Shown(), window.itemList.At(0));
    ExpectRowsMatchItems();

    window.OnCommand(ID_MOVE_UP);  // already first
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"b.wav", "a.mp3", "c.wma"}));
    EXPECT_EQ(Selected(), 0);

    window.OnCommand(ID_MOVE_DOWN);  // back where it was
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"a.mp3", "b.wav", "c.wma"}));
    EXPECT_EQ(Selected(), 1);
    window.OnCommand(ID_MOVE_DOWN);
    window.OnCommand(ID_MOVE_DOWN);  // already last
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"a.mp3", "c.wma", "b.wav"}));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Shown(), window.itemList.At(2));
    ExpectRowsMatchItems();
}

TEST_F(ListCommandsTest, SaveWaitsForAnotherWriterOfTheListInsteadOfBeingWrittenOver) {
    AddThree();
    const std::string list = dir.File("jobs.tsl");
    const std::string held = dir.File("held");
    WriteBytes(dir.File("other.tsl"), std::string(kConvertItemSize, '\0'));
    // Another writer, as `add` writes: holds the list's lock, then renames its own list over it.
    const std::string writer = "flock " + test::ShellQuote(list) + " sh -c 'touch " + test::ShellQuote(held) +
                               "; sleep 1; cp " + test::ShellQuote(dir.File("other.tsl")) + " " +
                               test::ShellQuote(list + ".new") + " && mv " + test::ShellQuote(list + ".new") + " " +
                               test::ShellQuote(list) + "' &";
    ASSERT_EQ(std::system(writer.c_str()), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(held); }, 5000));
    shell.saveAnswers.push_back(dir.File("jobs"));
    window.OnCommand(ID_SAVE);
    EXPECT_EQ(ReadBytes(list).size(), 3u * kConvertItemSize) << "the other writer's list replaced the saved one";
}

TEST_F(ListCommandsTest, SaveGivesUpOnAListAnotherWriterKeepsLockedAndKeepsTheWindowsList) {
    AddThree();
    const std::string list = dir.File("jobs.tsl");
    WriteBytes(list, "theirs");
    const std::string held = dir.File("held");
    const std::string holder = "flock " + test::ShellQuote(list) + " sh -c 'touch " + test::ShellQuote(held) +
                               "; exec sleep 30' & echo $! > " + test::ShellQuote(dir.File("holder.pid"));
    ASSERT_EQ(std::system(holder.c_str()), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(held); }, 5000));
    shell.saveAnswers.push_back(dir.File("jobs"));
    QElapsedTimer waited;
    waited.start();
    window.OnCommand(ID_SAVE);
    EXPECT_LT(waited.elapsed(), 10000);
    std::system(("pkill -P $(cat " + test::ShellQuote(dir.File("holder.pid")) + ")").c_str());
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, list + " is being changed by another program, so the list was not saved. The "
                                             "list in this window is kept as it is: save it again in a moment.");
    EXPECT_EQ(ReadBytes(list), "theirs");
    EXPECT_EQ(window.itemList.Count(), 3u);
}

TEST_F(ListCommandsTest, SaveThenLoadGivesTheSameRows) {
    AddThree();
    WriteField(window.itemList.At(1)->status, "Error: earlier run");
    shell.saveAnswers.push_back(dir.File("jobs"));
    window.OnCommand(ID_SAVE);
    ASSERT_EQ(shell.saveFilters.size(), 1u);
    EXPECT_EQ(shell.saveFilters[0], LoadString(124));
    EXPECT_EQ(ReadBytes(dir.File("jobs.tsl")).size(), 3u * kConvertItemSize);

    const auto before = SourceNames();
    Select(1);
    window.OnCommand(ID_NEW_LIST);
    EXPECT_TRUE(window.itemList.Empty());
    EXPECT_EQ(Shown(), nullptr);
    ExpectRowsMatchItems();

    shell.openAnswers.push_back(ChosenFiles{dir.Path() + "/", {"jobs.tsl"}});
    window.OnCommand(ID_LOAD);
    EXPECT_FALSE(shell.openMultiSelect.back());
    EXPECT_EQ(SourceNames(), before);
    EXPECT_EQ(Cell(1, kStatusColumn), "Error: earlier run");
    EXPECT_EQ(Selected(), -1);
    ExpectRowsMatchItems();
}

TEST_F(ListCommandsTest, LoadEmptiesTheListFirstAndDetachesTheWindow) {
    AddThree();
    Select(0);
    ASSERT_NE(Shown(), nullptr);
    test::WriteBytes(dir.File("two.tsl"), std::string(2 * kConvertItemSize + 1, '\0'));
    shell.openAnswers.push_back(ChosenFiles{dir.Path() + "/", {"two.tsl"}});
    window.OnCommand(ID_LOAD);
    EXPECT_EQ(window.itemList.Count(), 2u);
    EXPECT_EQ(Shown(), nullptr);
    ExpectRowsMatchItems();
}

TEST_F(ListCommandsTest, UnreadableListLeavesAnEmptyListAndSaysSo) {
    AddThree();
    shell.openAnswers.push_back(ChosenFiles{dir.Path() + "/", {"missing.tsl"}});
    window.OnCommand(ID_LOAD);
    EXPECT_TRUE(window.itemList.Empty());
    ExpectRowsMatchItems();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LoadString(IDS_LIST_READ_FAILED));
}

TEST_F(ListCommandsTest, AFileThatIsNotAListIsLoadedOnlyWhenTheUserSaysSo) {
    AddThree();
    const std::string song = dir.File("song.tsl");
    ASSERT_EQ(std::system(("ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=duration=1 -f mp3 '" + song + "'").c_str()),
              0);
    const std::size_t records = std::filesystem::file_size(song) / kConvertItemSize;
    shell.messageAnswers = {IDCANCEL, IDOK};
    ListCommandsLoad(song);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "This file does not look like a Tessival list: its first record is not an item. "
                                      "Add its " + std::to_string(records) + " records to the list anyway?");
    EXPECT_EQ(shell.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(window.itemList.Count(), 3u);
    ListCommandsLoad(song);
    EXPECT_EQ(window.itemList.Count(), records);
    EXPECT_EQ(window.ListControl().RowCount(), static_cast<int>(records));
}

TEST_F(ListCommandsTest, CancelledLoadKeepsTheList) {
    AddThree();
    shell.openAnswers.push_back(std::nullopt);
    window.OnCommand(ID_LOAD);
    EXPECT_EQ(window.itemList.Count(), 3u);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(ListCommandsTest, UnwritableListFileIsReported) {
    AddThree();
    shell.saveAnswers.push_back(dir.File("no-such-folder/jobs.tsl"));
    window.OnCommand(ID_SAVE);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LoadString(IDS_LIST_WRITE_FAILED));
    EXPECT_EQ(window.itemList.Count(), 3u);
}

TEST_F(ListCommandsTest, ListCommandsDoNothingDuringARun) {
    AddThree();
    Select(1);
    window.converting = true;
    const auto before = SourceNames();
    const std::size_t dialogsBefore = shell.openFilters.size();
    shell.saveAnswers.push_back(dir.File("x.tsl"));
    shell.openAnswers.push_back(ChosenFiles{dir.Path() + "/", {"x.tsl"}});
    for (int command : {ID_DELETE, ID_MOVE_UP, ID_MOVE_DOWN, ID_NEW_LIST, ID_SAVE, ID_LOAD, ID_PLAY})
        window.OnCommand(command);
    EXPECT_EQ(SourceNames(), before);
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(shell.saveFilters.empty());
    EXPECT_EQ(shell.openFilters.size(), dialogsBefore);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.tsl")));
    ExpectRowsMatchItems();
}

TEST_F(ListCommandsTest, PlayOpensTheSourceAndNothingForACapture) {
    AddFile("/music/a.mp3");
    window.OnCommand(ID_PLAY);  // nothing selected
    EXPECT_TRUE(shell.opened.empty());
    Select(0);
    window.OnCommand(ID_PLAY);
    EXPECT_EQ(shell.opened, std::vector<std::string>{"/music/a.mp3"});
    ConvertItem capture;
    WriteField(capture.sourceName, "Line In");
    window.AddItem(capture);
    Select(1);
    window.OnCommand(ID_PLAY);
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(ListCommandsTest, EditShowsTheWindowOnlyWithASelection) {
    AddThree();
    window.OnCommand(ID_EDIT);
    EXPECT_FALSE(window.PropertiesDialog()->isVisible());
    Select(2);
    window.OnCommand(ID_EDIT);
    EXPECT_TRUE(window.PropertiesDialog()->isVisible());
    EXPECT_EQ(Shown(), window.itemList.At(2));
}

TEST_F(ListCommandsTest, KeyboardSelectionRebindsThePropertiesWindow) {
    AddThree();
    Select(0);
    window.ListControl().setFocus();
    QTest::keyClick(&window.ListControl(), Qt::Key_Down);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Shown(), window.itemList.At(1));
}

TEST_F(ListCommandsTest, DoubleClickOnARowEdits) {
    AddThree();
    Select(0);
    ItemListView& list = window.ListControl();
    const QPoint row = list.visualItemRect(list.topLevelItem(0)).center();
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row);
    EXPECT_TRUE(window.PropertiesDialog()->isVisible());
}

class ApplyToFollowingTest : public ListCommandsTest {
protected:
    // Rows: an item above, the source, then "Intro" (no dot) and "Song.wma".
    void SetUp() override {
        ListCommandsTest::SetUp();
        AddFiles("/music/", {"Before.mp3", "Track01.mp3", "Intro", "Song.wma"});
        ConvertItem& source = *window.itemList.At(1);
        WriteField(source.destName, "Track01.mp3");
        WriteField(source.destType, "MP3");
        WriteField(source.destPath, "/out/");
        source.quality.nChannels = 2;
        source.quality.nAvgBytesPerSec = 16000;
        WriteField(window.itemList.At(2)->destName, "Intro");
        WriteField(window.itemList.At(3)->destName, "Song.wma");
        for (int row = 0; row < 4; ++row) window.ListControl().WriteRow(row, *window.itemList.At(row));
    }
};

// The edit's cases are in tests/joblist/ItemEditsTest.cpp; here the rows and the selection follow it.
TEST_F(ApplyToFollowingTest, CopiesDestinationAndExtensionToEveryFollowingItem) {
    Select(1);
    window.ApplyToFollowing(*Shown());
    EXPECT_EQ(ReadField(window.itemList.At(2)->destName), "Intro.mp3");
    EXPECT_EQ(ReadField(window.itemList.At(3)->destName), "Song.mp3");
    for (int i : {2, 3}) {
        const ConvertItem& target = *window.itemList.At(i);
        EXPECT_EQ(ReadField(target.destType), "MP3");
        EXPECT_EQ(ReadField(target.destPath), "/out/");
        const uint32_t byteRate = target.quality.nAvgBytesPerSec;  // packed field: copy before comparing
        EXPECT_EQ(byteRate, 16000u);
        EXPECT_EQ(ReadField(target.status), "Ready");
    }
    EXPECT_EQ(ReadField(window.itemList.At(0)->destType), "UNSPECIFIED");
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(Shown(), window.itemList.At(3));
    ExpectRowsMatchItems();
}

TEST_F(ApplyToFollowingTest, ThePropertiesWindowButtonAppliesTheShownItem) {
    Select(1);
    window.OnCommand(ID_EDIT);
    QPushButton* apply = nullptr;
    for (QPushButton* button : window.PropertiesDialog()->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("Apply to follow items")) apply = button;
    }
    ASSERT_NE(apply, nullptr);
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(ReadField(window.itemList.At(3)->destName), "Song.mp3");
    EXPECT_EQ(Shown(), window.itemList.At(3));
}

TEST_F(ApplyToFollowingTest, FromTheLastRowOnlyClearsTheSelection) {
    Select(3);
    window.ApplyToFollowing(*Shown());
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(ReadField(window.itemList.At(3)->destType), "UNSPECIFIED");
}

}  // namespace
}  // namespace tessival

#include <QComboBox>
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>

#include "UiTestSupport.h"
#include "joblist/ItemColumns.h"
#include "joblist/TextField.h"
#include "platform/media/MediaFixtures.h"
#include "platform/shell/ScriptedShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "support/PulseServer.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"
#include "ui/CommandTarget.h"
#include "ui/CaptureDeviceDialog.h"
#include "ui/ControlId.h"
#include "platform/devices/RipSettings.h"
#include "ui/Id3VersionSetting.h"
#include "ui/LoudnessMenu.h"
#include "ui/LoudnessSetting.h"
#include "ui/InvalidQualityDialog.h"
#include "ui/ItemPropertiesDialog.h"
#include "ui/MainDialog.h"
#include "ui/QualityDialog.h"

namespace tessival {
namespace {

using media::test::MakeTone;
using media::test::Probe;
using test::WhenModal;

using QualityPick = std::function<bool(const QualityInfo&)>;

// The real window with its real engine, driven as a user would: files from the scripted file
// dialog, type and quality through the properties and quality dialogs, then Start and Stop.
class WindowRunTest : public ::testing::Test, protected test::UsesApp {
protected:
    void SetUp() override {
        shell.drives = &drives;
        SetAppMainWindow(&window);
        window.show();
        std::filesystem::create_directories(OutDir());
        // Every text a Status cell shows, in order.
        QObject::connect(&window.ListControl(), &QTreeWidget::itemChanged, [this](QTreeWidgetItem* row, int column) {
            if (column == kStatusColumn)
                statusHistory[window.ListControl().indexOfTopLevelItem(row)].push_back(row->text(column).toStdString());
        });
    }
    void TearDown() override {
        if (window.converting) {
            window.OnCommand(ID_STOP);
            WaitForRunEnd(60000);
        }
        SetAppMainWindow(nullptr);
    }

    std::string OutDir() { return dir.Path() + "/out"; }
    std::string Cell(int row) { return window.ListControl().CellText(row, kStatusColumn).toStdString(); }
    ItemPropertiesDialog& Properties() { return static_cast<ItemPropertiesDialog&>(*window.PropertiesDialog()); }

    void AddSources(const std::vector<std::string>& names) {
        shell.openAnswers.push_back(ChosenFiles{dir.Path() + "/", names});
        window.OnCommand(ID_ADD_FROM_FILE);
    }

    // Binds the row, picks the type, the output folder and the first quality that `pick` accepts.
    void SetUpRow(int row, const QString& type, const QualityPick& pick) {
        window.ListControl().SelectRow(row);
        window.OnCommand(ID_EDIT);
        auto& combo = *qobject_cast<QComboBox*>(FindControl(Properties(), ItemPropertiesDialog::kDestType));
        const int index = combo.findText(type);
        ASSERT_GE(index, 0);
        combo.setCurrentIndex(index);
        emit combo.activated(index);
        shell.folderAnswers.push_back(OutDir());
        qobject_cast<QPushButton*>(FindControl(Properties(), ItemPropertiesDialog::kBrowse))->click();
        bool picked = false;
        WhenModal choose(WhenModal::Kind::Dialog, [&](QWidget* window) {
            auto* dialog = dynamic_cast<QualityDialog*>(window);
            if (!dialog) return;
            for (std::size_t i = 0; i < dialog->Qualities().size() && !picked; ++i) {
                if (!pick(dialog->Qualities()[i])) continue;
                dialog->List().clearSelection();
                dialog->List().topLevelItem(static_cast<int>(i))->setSelected(true);
                picked = true;
            }
            picked ? dialog->accept() : dialog->reject();
        });
        qobject_cast<QPushButton*>(FindControl(Properties(), ItemPropertiesDialog::kSelectQuality))->click();
        ASSERT_TRUE(picked) << "no such quality for " << type.toStdString();
    }

    bool WaitForRunEnd(int timeoutMs) {
        return QTest::qWaitFor([this] { return !window.converting && !shell.messages.empty(); }, timeoutMs);
    }

    static bool Pcm22kStereo(const QualityInfo& q) {
        return q.nChannels == 2 && q.nSamplesPerSec == 22050 && q.wBitsPerSample == 16;
    }
    static bool Mp3Mono(const QualityInfo& q) { return q.nChannels == 1; }
    // The slowest encoding offered, so that a long item surely outlasts a few ticks.
    static bool Mp3Heaviest(const QualityInfo& q) {
        return q.nChannels == 2 && q.nSamplesPerSec == 44100 && q.nAvgBytesPerSec == 40000;
    }

    test::FakeDrives drives;
    ScriptedShell shell;
    test::TempDir dir;
    MainDialog window{shell, QString::fromStdString(dir.Path())};
    std::map<int, std::vector<std::string>> statusHistory;
};

const std::regex kComplete(R"(Complete\(\d+s\))");

TEST_F(WindowRunTest, TwoFilesConvertToValidOutputs) {
    ASSERT_TRUE(MakeTone(dir.Path() + "/a.wav", 44100, 2, "pcm_s16le", 1.5));
    ASSERT_TRUE(MakeTone(dir.Path() + "/b.mp3", 44100, 2, "libmp3lame", 1.5));
    AddSources({"a.wav", "b.mp3"});
    SetUpRow(0, QStringLiteral("WAV (PCM)"), Pcm22kStereo);
    SetUpRow(1, QStringLiteral("MP3"), Mp3Mono);
    ASSERT_TRUE(HasQuality(window.itemList.At(1)->quality));
    // What a killed conversion of the first item had written, found by this run and reported.
    std::filesystem::create_directories(OutDir());
    std::filesystem::copy_file(dir.Path() + "/a.wav", OutDir() + "/a.wav.part-0badc0de");

    statusHistory.clear();
    window.OnCommand(ID_START);
    EXPECT_TRUE(window.converting || !shell.messages.empty());
    ASSERT_TRUE(WaitForRunEnd(120000));
    QTest::qWait(50);  // the last queued cell texts

    EXPECT_TRUE(std::regex_match(Cell(0), kComplete)) << Cell(0);
    EXPECT_TRUE(std::regex_match(Cell(1), kComplete)) << Cell(1);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "Convert Complete!\n\nRecovered: what an interrupted conversion had written is kept in " +
                                          OutDir() + "/a (recovered).wav");
    for (int row : {0, 1}) {
        EXPECT_EQ(statusHistory[row].front(), LoadString(IDS_INIT));
        // Converted, then waiting for its commit, then complete: never "Doing..." once converted.
        const auto& seen = statusHistory[row];
        ASSERT_GE(seen.size(), 3u);
        EXPECT_EQ(seen[seen.size() - 2], LoadString(IDS_COMMIT_PENDING)) << row;
    }

    auto wav = Probe(OutDir() + "/a.wav");
    EXPECT_EQ(wav["codec_name"], "pcm_s16le") << wav["error"];
    EXPECT_EQ(wav["sample_rate"], "22050");
    EXPECT_EQ(wav["channels"], "2");
    auto mp3 = Probe(OutDir() + "/b.mp3");
    EXPECT_EQ(mp3["codec_name"], "mp3") << mp3["error"];
    EXPECT_EQ(mp3["channels"], "1");
    EXPECT_GT(std::stoi(mp3["nb_read_packets"].empty() ? "0" : mp3["nb_read_packets"]), 10);
    // The properties window edits again once the run is over.
    EXPECT_FALSE(Properties().ReadOnly());
}

TEST_F(WindowRunTest, StopDuringTheSecondItemAbortsItAndKeepsTheRest) {
    ASSERT_TRUE(MakeTone(dir.Path() + "/a.wav", 22050, 1, "pcm_s16le", 1));
    // Long enough that the timer ticks several times while it converts.
    ASSERT_TRUE(MakeTone(dir.Path() + "/long.wav", 22050, 1, "pcm_s16le", 2400));
    ASSERT_TRUE(MakeTone(dir.Path() + "/c.wav", 22050, 1, "pcm_s16le", 1));
    AddSources({"a.wav", "long.wav", "c.wav"});
    SetUpRow(0, QStringLiteral("WAV (PCM)"), Pcm22kStereo);
    SetUpRow(1, QStringLiteral("MP3"), Mp3Heaviest);
    SetUpRow(2, QStringLiteral("WAV (PCM)"), Pcm22kStereo);
    const std::string thirdBefore = Cell(2);

    statusHistory.clear();
    window.OnCommand(ID_START);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Cell(1) == "Doing...2"; }, 60000)) << Cell(1);
    // The display counts the seconds the row does, and the properties window shows the row's status.
    window.UpdateDisplay();
    const std::string row = Cell(1);  // "Doing...N", read together with the display
    EXPECT_TRUE(window.Display().Detail().startsWith(QStringLiteral("0:0") + QString::fromStdString(row.substr(8))))
        << window.Display().Detail().toStdString() << " beside " << row;
    window.ListControl().SelectRow(1);
    const QLabel* status = qobject_cast<QLabel*>(FindControl(Properties(), ItemPropertiesDialog::kStatus));
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->text().startsWith(QStringLiteral("Doing...")); }, 3000))
        << status->text().toStdString();

    // While it converts: the window answers, refuses Exit and structural commands, edits nothing.
    EXPECT_TRUE(Properties().ReadOnly());
    window.OnCommand(ID_EXIT);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LoadString(IDS_STOP_BEFORE_EXIT));
    EXPECT_TRUE(window.isVisible());
    window.OnCommand(ID_DELETE);
    EXPECT_EQ(window.itemList.Count(), 3u);
    shell.messages.clear();

    window.OnCommand(ID_STOP);
    ASSERT_TRUE(WaitForRunEnd(60000));
    QTest::qWait(50);
    EXPECT_TRUE(std::regex_match(Cell(0), kComplete)) << Cell(0);
    EXPECT_EQ(Cell(1), LoadString(IDS_USER_ABORT));
    EXPECT_EQ(Cell(2), thirdBefore);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LoadString(IDS_CONVERT_COMPLETE));

    // The running row went Init..., then one tick a second.
    const std::vector<std::string> expected = {"Init...", "Doing...0", "Doing...1", "Doing...2"};
    const auto& seen = statusHistory[1];
    ASSERT_GE(seen.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(seen.begin(), seen.begin() + 4), expected);
    EXPECT_EQ(seen.back(), LoadString(IDS_USER_ABORT));
    // What was converted before the stop stays a valid file.
    EXPECT_EQ(Probe(OutDir() + "/long.mp3")["codec_name"], "mp3");
}

TEST_F(WindowRunTest, TheDisplaysMenuSwitchesMp3TagsToId3v23AndBack) {
    std::vector<std::pair<int, bool>> choices;
    const auto showMenu = [&] {
        WhenModal menu(WhenModal::Kind::Popup, [&](QWidget* popup) {
            const QAction* id3 = static_cast<QMenu*>(popup)->actions().value(1);
            choices.emplace_back(id3 ? id3->data().toInt() : 0, id3 && id3->isChecked());
            popup->close();
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), window.Display().mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&window.Display(), &click);
    };
    showMenu();
    window.OnCommand(MainDialog::kId3v23Command);
    EXPECT_EQ(Id3Version(), 3);
    showMenu();
    window.OnCommand(MainDialog::kId3v23Command);
    EXPECT_EQ(Id3Version(), 4);
    EXPECT_EQ(choices, (std::vector<std::pair<int, bool>>{{MainDialog::kId3v23Command, false},
                                                          {MainDialog::kId3v23Command, true}}));
}

TEST_F(WindowRunTest, TheDisplaysMenuSwitchesTheDiscLookUpsAndTestAndCopy) {
    std::vector<std::pair<std::string, bool>> shown;
    const auto showMenu = [&] {
        WhenModal menu(WhenModal::Kind::Popup, [&](QWidget* popup) {
            for (const QAction* action : static_cast<QMenu*>(popup)->actions())
                if (action->data().toInt() == MainDialog::kDiscLookUpCommand ||
                    action->data().toInt() == MainDialog::kDiscTestAndCopyCommand)
                    shown.emplace_back(action->text().toStdString(), action->isChecked());
            popup->close();
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), window.Display().mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&window.Display(), &click);
    };
    const RipSettings before = RipSettings::Current();
    showMenu();
    window.OnCommand(MainDialog::kDiscLookUpCommand);
    window.OnCommand(MainDialog::kDiscTestAndCopyCommand);
    EXPECT_NE(RipSettings::Current().lookUp, before.lookUp);
    EXPECT_NE(RipSettings::Current().testAndCopy, before.testAndCopy);
    showMenu();
    window.OnCommand(MainDialog::kDiscLookUpCommand);
    window.OnCommand(MainDialog::kDiscTestAndCopyCommand);
    EXPECT_EQ(RipSettings::Current().lookUp, before.lookUp);
    EXPECT_EQ(shown, (std::vector<std::pair<std::string, bool>>{
                         {"Look up discs online (AccurateRip, MusicBrainz, gnudb)", false},
                         {"Read CD tracks twice and compare", false},
                         {"Look up discs online (AccurateRip, MusicBrainz, gnudb)", true},
                         {"Read CD tracks twice and compare", true}}));
}

// Album gain chosen from the display's menu tags both tracks of a folder, read back with metaflac;
// the properties window then shows what the selected track measured.
TEST_F(WindowRunTest, AlbumGainFromTheDisplaysMenuTagsTheOutputs) {
    std::vector<std::pair<int, bool>> gainChoices;
    const auto showMenu = [&] {
        WhenModal menu(WhenModal::Kind::Popup, [&](QWidget* popup) {
            for (const QAction* action : static_cast<QMenu*>(popup)->actions())
                if (action->menu() && action->text() == QString::fromStdString(LoadString(IDS_REPLAYGAIN_TAGS)))
                    for (const QAction* choice : action->menu()->actions())
                        gainChoices.emplace_back(choice->data().toInt(), choice->isChecked());
            popup->close();
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), window.Display().mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&window.Display(), &click);
    };
    window.OnCommand(LoudnessMenu::kReplayGainCommand + 2);
    showMenu();
    constexpr int kGain = LoudnessMenu::kReplayGainCommand;
    EXPECT_EQ(gainChoices, (std::vector<std::pair<int, bool>>{{kGain, false}, {kGain + 1, false}, {kGain + 2, true}}));

    ASSERT_TRUE(MakeTone(dir.Path() + "/a.wav", 44100, 2, "pcm_s16le", 3));
    ASSERT_EQ(test::RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=1000:duration=3 -ac 2 " +
                               test::ShellQuote(dir.Path() + "/b.wav")).exitCode, 0);
    AddSources({"a.wav", "b.wav"});
    for (int row : {0, 1}) SetUpRow(row, QStringLiteral("FLAC"), [](const QualityInfo& q) { return q.nChannels == 2; });
    window.OnCommand(ID_START);
    ASSERT_TRUE(WaitForRunEnd(120000));
    QTest::qWait(50);

    const auto tag = [&](const char* file, const char* name) {
        return test::RunProcess(std::string("metaflac --show-tag=") + name + " " + test::ShellQuote(OutDir() + "/" + file))
            .output;
    };
    const std::regex gain(R"(REPLAYGAIN_ALBUM_GAIN=-?\d+\.\d\d dB\n)");
    EXPECT_TRUE(std::regex_match(tag("a.flac", "REPLAYGAIN_ALBUM_GAIN"), gain)) << tag("a.flac", "REPLAYGAIN_ALBUM_GAIN");
    EXPECT_EQ(tag("a.flac", "REPLAYGAIN_ALBUM_GAIN"), tag("b.flac", "REPLAYGAIN_ALBUM_GAIN"));
    const std::string trackGain = tag("b.flac", "REPLAYGAIN_TRACK_GAIN");
    EXPECT_NE(trackGain.substr(trackGain.find('=')), tag("a.flac", "REPLAYGAIN_TRACK_GAIN").substr(trackGain.find('=')));

    window.ListControl().SelectRow(1);
    const auto* loudness = qobject_cast<QLabel*>(FindControl(Properties(), ItemPropertiesDialog::kLoudness));
    ASSERT_NE(loudness, nullptr);
    const std::string shown = loudness->text().toStdString();
    EXPECT_TRUE(shown.starts_with("Loudness ")) << shown;
    EXPECT_TRUE(shown.ends_with("ReplayGain " + trackGain.substr(trackGain.find('=') + 1, trackGain.size() - trackGain.find('=') - 2)))
        << shown << " beside " << trackGain;
    UseLoudnessChoice({});
}

TEST_F(WindowRunTest, TwoItemsAtOnceConvertSideBySideAndStopEndsBoth) {
    // The display's menu offers the counts with the current one checked; its commands set it.
    std::vector<std::pair<int, bool>> choices;
    WhenModal menu(WhenModal::Kind::Popup, [&](QWidget* popup) {
        for (QAction* choice : static_cast<QMenu*>(popup)->actions().value(0)->menu()->actions())
            choices.emplace_back(choice->data().toInt(), choice->isChecked());
        popup->close();
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), window.Display().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&window.Display(), &click);
    ASSERT_EQ(choices.size(), 8u);
    EXPECT_EQ(choices.front(), (std::pair<int, bool>{MainDialog::kItemsAtOnceCommand + 1, true}));
    EXPECT_EQ(choices.back(), (std::pair<int, bool>{MainDialog::kItemsAtOnceCommand + 8, false}));
    window.OnCommand(MainDialog::kItemsAtOnceCommand + 2);
    EXPECT_EQ(window.ItemsAtOnce(), 2);

    // Items the display names as converting at once, at most, over the run.
    int mostAtOnce = 0;
    QObject::connect(&window.ListControl(), &QTreeWidget::itemChanged, [&](QTreeWidgetItem*, int column) {
        if (column != kStatusColumn) return;
        window.UpdateDisplay();
        const QString detail = window.Display().Detail();
        const int running = detail.startsWith("Items ") ? static_cast<int>(detail.section(" of ", 0, 0).count(',')) + 1
                            : detail.startsWith("Item ") ? 1
                                                         : 0;
        mostAtOnce = std::max(mostAtOnce, running);
    });
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        ASSERT_TRUE(MakeTone(dir.Path() + "/" + name, 22050, 1, "pcm_s16le", 60));
    AddSources({"a.wav", "b.wav", "c.wav"});
    for (int row : {0, 1, 2}) SetUpRow(row, QStringLiteral("MP3"), Mp3Mono);
    window.OnCommand(ID_START);
    ASSERT_TRUE(WaitForRunEnd(120000));
    QTest::qWait(50);
    EXPECT_EQ(mostAtOnce, 2);
    for (int row : {0, 1, 2}) EXPECT_TRUE(std::regex_match(Cell(row), kComplete)) << row << ": " << Cell(row);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LoadString(IDS_CONVERT_COMPLETE));
    EXPECT_EQ(Probe(OutDir() + "/c.mp3")["codec_name"], "mp3");

    // Two long items: both count their own seconds, the display names both, and Stop ends both.
    for (const char* name : {"a.wav", "b.wav"})
        ASSERT_TRUE(MakeTone(dir.Path() + "/" + name, 22050, 1, "pcm_s16le", 600));
    for (int row : {0, 1}) SetUpRow(row, QStringLiteral("MP3"), Mp3Heaviest);
    shell.messages.clear();
    window.OnCommand(ID_START);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Cell(0) == "Doing...1" && Cell(1) == "Doing...1"; }, 60000))
        << Cell(0) << " " << Cell(1);
    window.UpdateDisplay();
    EXPECT_EQ(window.Display().Caption(), QStringLiteral("a.wav, b.wav"));
    EXPECT_EQ(window.Display().Detail(), QStringLiteral("Items 1, 2 of 3"));
    window.OnCommand(ID_STOP);
    ASSERT_TRUE(WaitForRunEnd(60000));
    QTest::qWait(50);
    EXPECT_EQ(Cell(0), LoadString(IDS_USER_ABORT));
    EXPECT_EQ(Cell(1), LoadString(IDS_USER_ABORT));
    EXPECT_TRUE(std::regex_match(Cell(2), kComplete)) << Cell(2);  // the last run's, never started again
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_FALSE(Properties().ReadOnly());
}

TEST_F(WindowRunTest, RefusedQualityAsksTheUserOnTheWindowThread) {
    ASSERT_TRUE(MakeTone(dir.Path() + "/a.wav", 44100, 2, "pcm_s16le", 1));
    ASSERT_TRUE(MakeTone(dir.Path() + "/b.wav", 44100, 2, "pcm_s16le", 1));
    AddSources({"a.wav", "b.wav"});
    SetUpRow(0, QStringLiteral("WAV (PCM)"), Pcm22kStereo);
    SetUpRow(1, QStringLiteral("WAV (PCM)"), Pcm22kStereo);
    const QualityInfo refused{1, 2, 22050, 12345, 4, 16, 0};  // no encoder offers this byte rate
    for (int row : {0, 1}) window.itemList.At(row)->quality = refused;

    // Item 1: pick another quality from the running encoder's list. Item 2: skip it.
    std::vector<std::string> asked;
    QualityInfo picked{};
    WhenModal answer(WhenModal::Kind::Dialog, [&](QWidget* shown) {
        if (auto* quality = dynamic_cast<QualityDialog*>(shown)) {
            asked.push_back("quality");
            quality->List().clearSelection();
            quality->List().topLevelItem(0)->setSelected(true);
            picked = quality->Qualities().at(0);
            quality->accept();
            return;
        }
        asked.push_back("invalid");
        const int radio = asked.size() == 1 ? InvalidQualityDialog::kSelectAnother : InvalidQualityDialog::kIgnoreItem;
        qobject_cast<QRadioButton*>(FindControl(*shown, radio))->setChecked(true);
        static_cast<QDialog*>(shown)->accept();
    });
    window.OnCommand(ID_START);
    ASSERT_TRUE(WaitForRunEnd(60000));
    QTest::qWait(50);

    EXPECT_EQ(asked, (std::vector<std::string>{"invalid", "quality", "invalid"}));
    EXPECT_TRUE(std::regex_match(Cell(0), kComplete)) << Cell(0);
    EXPECT_TRUE(IsSameQuality(window.itemList.At(0)->quality, picked));
    EXPECT_EQ(Cell(1), LoadString(IDS_DEST_QUALITY_INVALID));
    EXPECT_EQ(shell.messages.back().text, LoadString(IDS_CONVERT_HAD_ERRORS));
    EXPECT_EQ(Probe(OutDir() + "/a.wav")["channels"], std::to_string(picked.nChannels));
}

TEST_F(WindowRunTest, ThePropertiesWindowFollowsTheRunningRowAndShowsItsOutcome) {
    ASSERT_TRUE(MakeTone(dir.Path() + "/a.wav", 44100, 2, "pcm_s16le", 1));
    ASSERT_TRUE(media::test::MakeManyChannels(dir.Path() + "/many.wav", 65));
    AddSources({"a.wav", "many.wav"});
    SetUpRow(0, QStringLiteral("WAV (PCM)"), Pcm22kStereo);
    SetUpRow(1, QStringLiteral("WAV (PCM)"), Pcm22kStereo);
    Properties().show();

    // The window shows each row as the run selects it, while the run works on that row's item.
    window.OnCommand(ID_START);
    ASSERT_TRUE(WaitForRunEnd(60000));
    QTest::qWait(50);
    EXPECT_TRUE(std::regex_match(Cell(0), kComplete)) << Cell(0);
    // The quality is valid; 65 channels are what the graph cannot take.
    const std::string tooManyChannelsText = "Error: The source has 65 channels, more than this dest type and quality can take.";
    EXPECT_EQ(Cell(1), tooManyChannelsText);
    EXPECT_EQ(Properties().Item(), window.itemList.At(1));
    auto* status = qobject_cast<QLabel*>(FindControl(Properties(), ItemPropertiesDialog::kStatus));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text().toStdString(), tooManyChannelsText);
    EXPECT_FALSE(std::filesystem::exists(OutDir() + "/many.wav"));
}

TEST_F(WindowRunTest, StartWithAnIncompleteItemStartsNothing) {
    AddSources({"missing.wav"});
    WhenModal close(WhenModal::Kind::Dialog, [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    window.OnCommand(ID_START);
    EXPECT_EQ(close.Seen(), 1);
    EXPECT_FALSE(window.converting);
    window.OnCommand(ID_STOP);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(WindowRunTest, ACaptureItemRecordsUntilStop) {
    test::PulseServer server(440);
    ASSERT_TRUE(server.Running());
    WhenModal choose(WhenModal::Kind::Dialog, [](QWidget* window) {
        if (auto* dialog = dynamic_cast<CaptureDeviceDialog*>(window)) dialog->accept();
    });
    window.OnCommand(ID_ADD_FROM_CAPTURER);
    ASSERT_EQ(window.itemList.Count(), 1u);
    SetUpRow(0, QStringLiteral("WAV (PCM)"), Pcm22kStereo);

    statusHistory.clear();
    window.OnCommand(ID_START);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Cell(0) == "Doing...2"; }, 30000)) << Cell(0);
    window.OnCommand(ID_STOP);
    ASSERT_TRUE(WaitForRunEnd(30000));
    QTest::qWait(50);
    EXPECT_EQ(Cell(0), LoadString(IDS_USER_ABORT));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LoadString(IDS_CONVERT_COMPLETE));
    const std::vector<std::string> expected = {"Init...", "Doing...0", "Doing...1", "Doing...2"};
    ASSERT_GE(statusHistory[0].size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(statusHistory[0].begin(), statusHistory[0].begin() + 4), expected);

    // Everything up to the stop at the source's pitch: one or two of the virtual source's blocks
    // of up to two seconds.
    const std::string wave = OutDir() + "/Sine source at 440 Hz.wav";
    const auto probe = Probe(wave);
    ASSERT_EQ(probe.count("error"), 0u) << probe.at("error");
    EXPECT_EQ(probe.at("sample_rate"), "22050");
    const double seconds = std::stod(probe.at("duration_ts")) / 22050.0;
    EXPECT_GE(seconds, 1.9);
    EXPECT_LE(seconds, 4.1);
    EXPECT_NEAR(test::ToneFrequency(media::test::DecodeFloat(wave, 22050, 1), 22050, 1), 440.0, 4.0);
}

}  // namespace
}  // namespace tessival

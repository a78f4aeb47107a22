#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "WindowFixture.h"
#include "joblist/ListFile.h"
#include "platform/media/MediaFixtures.h"

namespace tessival {
namespace {

using media::test::MakeTone;

class DropTest : public test::WindowTest {
protected:
    void Drop(const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
        data.setUrls(urls);
        QWidget* viewport = window.ListControl().viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
    }
    void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
};

TEST_F(DropTest, FoldersAddTheirMediaFilesInNameOrderAndFilesAreAddedAsChosen) {
    const std::string music = dir.Path() + "/music";
    std::filesystem::create_directories(music + "/disc 2");
    ASSERT_TRUE(MakeTone(music + "/b.wav", 22050, 1, "pcm_s16le", 0.5));
    ASSERT_TRUE(MakeTone(music + "/disc 2/a.mp3", 22050, 1, "libmp3lame", 0.5));
    // Content decides for names the program does not know: audio counts, a picture or text not.
    ASSERT_TRUE(MakeTone(music + "/untitled", 22050, 1, "flac", 0.5, "-f flac"));
    WriteText(music + "/notes.txt", "liner notes\n");
    WriteText(music + "/cover.nfo", "ripped by me\n");
    ASSERT_TRUE(MakeTone(dir.Path() + "/single.wav", 22050, 1, "pcm_s16le", 0.5));

    Drop({music, dir.Path() + "/single.wav"});
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"b.wav", "a.mp3", "untitled", "single.wav"}));
    EXPECT_EQ(ReadField(window.itemList.At(1)->sourcePath), music + "/disc 2/a.mp3");
    EXPECT_EQ(ReadField(window.itemList.At(1)->sourceType), "MP3");
    ExpectRowsMatchItems();
}

TEST_F(DropTest, ADroppedListFileLoadsIt) {
    AddFiles("/music/", {"one.mp3", "two.wma"});
    const std::string list = dir.Path() + "/saved.tsl";
    ASSERT_EQ(WriteListFile(list, window.itemList), ListFileResult::Ok);
    window.OnCommand(ID_NEW_LIST);
    AddFiles("/other/", {"three.wav"});

    Drop({list});
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"one.mp3", "two.wma"}));
    ExpectRowsMatchItems();
}

TEST_F(DropTest, DroppedFilesTooLongForTheirFieldsAreNamedNotCut) {
    const std::string longName = dir.Path() + "/" + std::string(80, 'n') + ".wav";
    Drop({dir.Path() + "/ok.wav", longName});
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"ok.wav"}));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "This file was not added: its name is longer than 79 bytes.\n" + longName);
}

TEST_F(DropTest, DropsAreRefusedDuringARun) {
    ASSERT_TRUE(MakeTone(dir.Path() + "/a.wav", 22050, 1, "pcm_s16le", 0.5));
    window.converting = true;
    Drop({dir.Path() + "/a.wav", dir.Path()});
    window.converting = false;
    EXPECT_EQ(window.itemList.Count(), 0u);
    // Said where the eye is, not in a box that would stop the run's window.
    EXPECT_EQ(window.Display().Caption(), QStringLiteral("Stop the run to add files"));
    EXPECT_TRUE(shell.messages.empty());
}

}  // namespace
}  // namespace tessival

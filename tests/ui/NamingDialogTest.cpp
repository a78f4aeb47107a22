#include <gtest/gtest.h>

#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"
#include "ui/NamingDialog.h"

namespace tessival {
namespace {

using test::RunProcess;
using test::ShellQuote;

TEST(NamingDialog, PreviewsTheSelectedItemAndNamesItAndTheFollowingOnesOnOk) {
    test::TempDir dir;
    ItemList items;
    for (const char* title : {"Zero", "One", "One"}) {
        const std::string path = dir.File(std::to_string(items.Count()) + ".flac");
        ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -f lavfi -i sine=duration=0.2 -metadata artist=Band "
                             "-metadata title=" + std::string(title) + " " + ShellQuote(path))
                      .exitCode,
                  0);
        ConvertItem item = MakeSingleFileItem(path);
        WriteField(item.destType, "FLAC");
        WriteField(item.destName, std::to_string(items.Count()) + ".flac");
        items.Append(item);
    }
    QSettings settings(QString::fromStdString(dir.File("settings.ini")), QSettings::IniFormat);
    {
        NamingDialog dialog(items, 1, settings);
        dialog.PatternEdit().setText(QStringLiteral("{artist}/{title}"));
        dialog.RootEdit().setText(QString::fromStdString(dir.File("out")));
        EXPECT_EQ(dialog.Preview().toStdString(), dir.File("out/Band/One.flac"));
        dialog.PatternEdit().setText(QStringLiteral("{artst}"));
        EXPECT_NE(dialog.Preview().toStdString().find("no field \"artst\""), std::string::npos);
        dialog.accept();  // a wrong pattern names nothing
        EXPECT_EQ(ReadField(items.At(1)->destName), "1.flac");
        dialog.PatternEdit().setText(QStringLiteral("{artist}/{title}"));
        dialog.accept();
    }
    EXPECT_EQ(ReadField(items.At(0)->destName), "0.flac");
    EXPECT_EQ(ReadField(items.At(1)->destPath), dir.File("out/Band"));
    EXPECT_EQ(ReadField(items.At(1)->destName), "One.flac");
    EXPECT_EQ(ReadField(items.At(2)->destName), "One (2).flac");
    // The next dialog starts from the choices made.
    NamingDialog again(items, 0, settings);
    EXPECT_EQ(again.PatternEdit().text(), QStringLiteral("{artist}/{title}"));
    EXPECT_EQ(again.RootEdit().text().toStdString(), dir.File("out"));
}

}  // namespace
}  // namespace tessival

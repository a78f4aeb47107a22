#include <gtest/gtest.h>

#include <QDir>
#include <QMessageBox>
#include <optional>

#include "UiTestSupport.h"
#include "platform/shell/QtShell.h"
#include "res/StringTable.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

TEST(QtShellFilter, ProgramFiltersBecomeQtNameFilters) {
    EXPECT_EQ(QtShell::ToQtFilter(LoadString(124)),
              QStringLiteral("Tessival List(*.tsl) (*.tsl);;All files(*.*) (*.*)"));
    const QString media = QtShell::ToQtFilter(LoadString(123));
    EXPECT_TRUE(media.startsWith(QStringLiteral("All supported media files (*.asf *.wav *.wma ")));
    EXPECT_TRUE(media.endsWith(QStringLiteral("*.cda);;All files(*.*) (*.*)")));
    EXPECT_EQ(QtShell::ToQtFilter(""), QString());
}

TEST(QtShellChosen, SplitsIntoFolderAndNames) {
    const ChosenFiles one = QtShell::SplitChosen({QStringLiteral("/music/Song.Live.mp3")});
    EXPECT_EQ(one.folder, "/music/");
    EXPECT_EQ(one.names, std::vector<std::string>{"Song.Live.mp3"});
    const ChosenFiles root = QtShell::SplitChosen({QStringLiteral("/a.wav"), QStringLiteral("/b.wav")});
    EXPECT_EQ(root.folder, "/");
    EXPECT_EQ(root.names, (std::vector<std::string>{"a.wav", "b.wav"}));
    EXPECT_TRUE(QtShell::SplitChosen({}).names.empty());
}

TEST(QtShellOpen, WebAddressesStayAndFilesResolveFromTheCurrentDirectory) {
    test::App();
    EXPECT_EQ(QtShell::TargetUrl("https://www.kestrane.com/"), QUrl(QStringLiteral("https://www.kestrane.com/")));
    test::TempDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.Path()));
    const QUrl help = QtShell::TargetUrl("tessival.hlp");
    QDir::setCurrent(before);
    EXPECT_TRUE(help.isLocalFile());
    EXPECT_EQ(QDir(QFileInfo(help.toLocalFile()).path()).canonicalPath(),
              QDir(QString::fromStdString(dir.Path())).canonicalPath());
    QtShell shell;
    EXPECT_FALSE(shell.ShellOpen(""));
}

TEST(QtShellMessages, EachKindShowsItsIconInTheSkin) {
    struct Case {
        std::string text;
        MessageButtons buttons;
        std::optional<MessageKind> named;
        QMessageBox::Icon icon;
    };
    const std::vector<Case> cases = {
        {"Convert Complete!", MessageButtons::Ok, std::nullopt, QMessageBox::Information},
        {"Error: The source file has no audio.", MessageButtons::Ok, std::nullopt, QMessageBox::Critical},
        {"Would you like download codec package now?", MessageButtons::OkCancel, std::nullopt, QMessageBox::Question},
        {"Converting is in processing, please stop before exit.", MessageButtons::Ok, MessageKind::Warning,
         QMessageBox::Warning},
        {"The list file cannot be read.", MessageButtons::Ok, MessageKind::Error, QMessageBox::Critical},
    };
    QtShell shell;
    for (const Case& c : cases) {
        QMessageBox::Icon shown = QMessageBox::NoIcon;
        QColor background;
        test::WhenModal box(test::WhenModal::Kind::Dialog, [&](QWidget* window) {
            auto* message = qobject_cast<QMessageBox*>(window);
            if (!message) return;
            shown = message->icon();
            background = message->grab().toImage().pixelColor(2, 2);
            message->reject();
        });
        if (c.named)
            shell.MessageBox(c.text, c.buttons, *c.named);
        else
            shell.MessageBox(c.text, c.buttons);
        EXPECT_EQ(shown, c.icon) << c.text;
        EXPECT_EQ(background, QColor(0x1e, 0x26, 0x2e)) << c.text;  // the skin's dialog colour, not grey
    }
}

TEST(QtShellFind, MatchesPatternsCaseInsensitivelyInNameOrder) {
    test::TempDir dir;
    for (const char* name : {"b.mp3", "A.MP3", "c.wav"}) test::WriteBytes(dir.File(name), "x");
    QtShell shell;
    const auto found = shell.FindFiles(dir.Path(), "*.mp3");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "A.MP3");
    EXPECT_EQ(found[1].name, "b.mp3");
    EXPECT_EQ(QDir(QFileInfo(QString::fromStdString(found[1].fullPath)).path()).canonicalPath(),
              QDir(QString::fromStdString(dir.Path())).canonicalPath());
    EXPECT_TRUE(shell.FindFiles(dir.File("missing"), "*.mp3").empty());
}

}  // namespace
}  // namespace tessival

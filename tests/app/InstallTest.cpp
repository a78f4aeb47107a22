#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "app/HelpFilePath.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

namespace fs = std::filesystem;
using test::RunProcess;
using test::ShellQuote;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Runs a command line with its standard error folded into the output.
test::ProcessResult RunMerged(const std::string& commandLine) { return RunProcess(commandLine + " 2>&1"); }

const char* const kInstalledFiles[] = {
    "bin/tessival",
    "bin/tessival-cli",
    "share/applications/com.kestrane.tessival.desktop",
    "share/metainfo/com.kestrane.tessival.metainfo.xml",
    "share/icons/hicolor/16x16/apps/tessival.png",
    "share/icons/hicolor/22x22/apps/tessival.png",
    "share/icons/hicolor/24x24/apps/tessival.png",
    "share/icons/hicolor/32x32/apps/tessival.png",
    "share/icons/hicolor/48x48/apps/tessival.png",
    "share/icons/hicolor/64x64/apps/tessival.png",
    "share/icons/hicolor/128x128/apps/tessival.png",
    "share/icons/hicolor/256x256/apps/tessival.png",
    "share/icons/hicolor/scalable/apps/tessival.svg",
    "share/man/man1/tessival.1.gz",
    "share/man/man1/tessival-cli.1.gz",
    "share/tessival/tessival.html",
    "share/bash-completion/completions/tessival-cli",
    "share/zsh/vendor-completions/_tessival-cli",
    "share/fish/vendor_completions.d/tessival-cli.fish",
    "share/doc/tessival/copyright",
    "share/doc/tessival-cli/copyright",
};

// The text with every run of spaces made one space.
std::string SingleSpaced(const std::string& text) {
    std::string single;
    for (char c : text)
        if (c != ' ' || single.empty() || single.back() != ' ') single += c;
    return single;
}

// What the bash completion offers for a command line, cursor at its end.
std::string Completions(const std::string& completion, const std::string& bin, const std::string& line,
                        const std::string& words, int cword) {
    const std::string script = "source /usr/share/bash-completion/bash_completion; source " + ShellQuote(completion) +
                               "; PATH=" + ShellQuote(bin) + ":$PATH; COMP_LINE=" + ShellQuote(line) +
                               "; COMP_POINT=${#COMP_LINE}; COMP_WORDS=(" + words +
                               "); COMP_CWORD=" + std::to_string(cword) + "; _tessival_cli; echo \"${COMPREPLY[*]}\"";
    return RunMerged("bash -c " + ShellQuote(script)).output;
}

// What an installed tree must hold and pass, wherever its prefix lies.
void CheckInstalledTree(const std::string& prefix) {
    for (const char* file : kInstalledFiles) EXPECT_TRUE(fs::is_regular_file(prefix + "/" + file)) << file;

    const std::string desktop = prefix + "/share/applications/com.kestrane.tessival.desktop";
    const auto validDesktop = RunMerged("desktop-file-validate " + ShellQuote(desktop));
    EXPECT_EQ(validDesktop.exitCode, 0);
    EXPECT_EQ(validDesktop.output, "");
    const std::string entry = test::ReadBytes(desktop);
    EXPECT_NE(entry.find("\nExec=tessival %F\n"), std::string::npos);
    EXPECT_NE(entry.find("audio/mpeg;"), std::string::npos);
    EXPECT_NE(entry.find("audio/x-ms-wma;"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=tessival\n"), std::string::npos);

    const auto validTree = RunMerged("appstreamcli validate-tree --no-net --pedantic " + ShellQuote(prefix));
    EXPECT_EQ(validTree.exitCode, 0) << validTree.output;
    EXPECT_NE(validTree.output.find("Validation was successful."), std::string::npos) << validTree.output;
    const std::string metainfo = test::ReadBytes(prefix + "/share/metainfo/com.kestrane.tessival.metainfo.xml");
    EXPECT_NE(metainfo.find("<screenshot type=\"default\">"), std::string::npos);
    EXPECT_NE(metainfo.find("<launchable type=\"desktop-id\">com.kestrane.tessival.desktop</launchable>"),
              std::string::npos);

    const auto icon = RunMerged("file -b " + ShellQuote(prefix + "/share/icons/hicolor/48x48/apps/tessival.png"));
    EXPECT_EQ(icon.output.rfind("PNG image data, 48 x 48,", 0), 0u) << icon.output;

    // The help the window opens from its installed place.
    const QString help = HelpFilePath(QString::fromStdString(prefix + "/bin"));
    EXPECT_EQ(help.toStdString(), prefix + "/share/tessival/tessival.html");
    EXPECT_NE(test::ReadBytes(help.toStdString()).find("<title>Tessival Help</title>"), std::string::npos);

    const auto probe = RunProcess(ShellQuote(prefix + "/bin/tessival-cli") + " probe");
    EXPECT_EQ(probe.exitCode, 0);
    EXPECT_NE(probe.output.find("MP3 Encoder          present  MPEG Layer-3\n"), std::string::npos) << probe.output;
}

TEST(Install, PrefixGetsTheProgramsDesktopEntryIconsMetadataManPagesHelpAndCompletion) {
    test::TempDir prefix;
    const auto install = RunMerged(ShellQuote(Env("CMAKE_COMMAND")) + " --install " + ShellQuote(Env("TESSIVAL_BUILD_DIR")) +
                             " --prefix " + ShellQuote(prefix.Path()));
    ASSERT_EQ(install.exitCode, 0) << install.output;
    CheckInstalledTree(prefix.Path());

    const std::string man1 = prefix.Path() + "/share/man/man1/";
    const auto window = RunMerged("MANWIDTH=80 MANPAGER=cat man --warnings -l " + ShellQuote(man1 + "tessival.1.gz"));
    EXPECT_EQ(window.exitCode, 0);
    EXPECT_NE(window.output.find("tessival - batch audio converter"), std::string::npos) << window.output;
    EXPECT_EQ(window.output.find("warning"), std::string::npos) << window.output;
    const auto cli = RunMerged("MANWIDTH=80 MANPAGER=cat man --warnings -l " + ShellQuote(man1 + "tessival-cli.1.gz"));
    EXPECT_EQ(cli.exitCode, 0);
    EXPECT_NE(cli.output.find("tessival-cli - headless companion of the Tessival audio converter"), std::string::npos);
    // Justified lines spread their spaces by where the line falls in the page: compare words only.
    EXPECT_NE(SingleSpaced(cli.output).find("\n probe Check the encoders and decoders"), std::string::npos)
        << cli.output;
    EXPECT_EQ(cli.output.find("warning"), std::string::npos) << cli.output;

    // The completion offers the commands the installed program lists, and a command's options.
    // Words are split as bash splits them, at "=" too.
    const std::string completion = prefix.Path() + "/share/bash-completion/completions/tessival-cli";
    const std::string bin = prefix.Path() + "/bin";
    EXPECT_EQ(Completions(completion, bin, "tessival-cli ", "tessival-cli ''", 1),
              "add convert devices filters graph loudness probe qualities ripinfo show types help --help --version\n");
    EXPECT_EQ(Completions(completion, bin, "tessival-cli pr", "tessival-cli pr", 1), "probe\n");
    EXPECT_EQ(Completions(completion, bin, "tessival-cli convert --on-bad-quality=d",
                          "tessival-cli convert --on-bad-quality = d", 4),
              "default\n");
    EXPECT_EQ(Completions(completion, bin, "tessival-cli convert --progress=", "tessival-cli convert --progress = ''", 4),
              "json none\n");
    // A prefix already typed with escapes or in an open quote completes as the shell reads it.
    EXPECT_EQ(Completions(completion, bin, "tessival-cli add x.tsl --dest-type=WAV\\ \\(C",
                          "tessival-cli add x.tsl --dest-type = 'WAV\\ \\(C'", 5),
              "WAV\\ \\(CCITT\\ A-Law\\) WAV\\ \\(CCITT\\ u-Law\\)\n");
    EXPECT_EQ(Completions(completion, bin, "tessival-cli qualities 'Ogg V", "tessival-cli qualities \"'Ogg V\"", 2),
              "Ogg\\ Vorbis\n");
}

TEST(Install, TwoDebianPackagesHoldTheTreeAndTheCliNeedsNoDisplayLibraries) {
    test::TempDir work;
    const auto pack = RunMerged("cd " + ShellQuote(work.Path()) + " && " + ShellQuote(Env("CPACK_COMMAND")) + " --config " +
                          ShellQuote(Env("TESSIVAL_BUILD_DIR") + "/CPackConfig.cmake") + " -B " +
                          ShellQuote(work.Path()));
    ASSERT_EQ(pack.exitCode, 0) << pack.output;
    const std::string window = work.File("tessival_2.1.746_amd64.deb");
    const std::string cli = work.File("tessival-cli_2.1.746_amd64.deb");
    ASSERT_TRUE(fs::is_regular_file(window)) << pack.output;
    ASSERT_TRUE(fs::is_regular_file(cli)) << pack.output;

    const std::string contents = RunMerged("dpkg-deb -c " + ShellQuote(window)).output +
                                 RunMerged("dpkg-deb -c " + ShellQuote(cli)).output;
    for (const char* file : kInstalledFiles)
        EXPECT_NE(contents.find(std::string(" ./usr/") + file + "\n"), std::string::npos) << file;
    const std::string cliContents = RunMerged("dpkg-deb -c " + ShellQuote(cli)).output;
    for (const char* file : {"./usr/bin/tessival-cli\n", "./usr/share/doc/tessival-cli/copyright\n",
                             "./usr/share/doc/tessival-cli/changelog.gz\n"})
        EXPECT_NE(cliContents.find(file), std::string::npos) << cliContents;
    EXPECT_EQ(cliContents.find("./usr/bin/tessival\n"), std::string::npos) << cliContents;

    EXPECT_EQ(RunMerged("dpkg-deb -f " + ShellQuote(window) + " Package Section").output,
              "Package: tessival\nSection: sound\n");
    const std::string windowDepends = RunMerged("dpkg-deb -f " + ShellQuote(window) + " Depends").output;
    for (const char* library : {"libqt6widgets6", "libc6", "tessival-cli (= 2.1.746)"})
        EXPECT_NE(windowDepends.find(library), std::string::npos) << windowDepends;
    const std::string cliDepends = RunMerged("dpkg-deb -f " + ShellQuote(cli) + " Depends").output;
    for (const char* library : {"libavcodec59", "libavformat59", "libc6"})
        EXPECT_NE(cliDepends.find(library), std::string::npos) << cliDepends;

    // Everything apt would install for tessival-cli: no Qt GUI, Widgets, OpenGL or Mesa.
    const auto closure = RunMerged("dpkg-deb -f " + ShellQuote(cli) +
                                   " Depends | tr ',' '\\n' | sed 's/(.*//; s/|.*//' | xargs apt-cache depends "
                                   "--recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces "
                                   "--no-enhances | grep -v '^ ' | sort -u");
    EXPECT_NE(closure.output.find("\nlibavcodec59\n"), std::string::npos) << closure.output;
    EXPECT_FALSE(std::regex_search(closure.output, std::regex("(^|\n)(libqt6gui6|libqt6widgets6|libgl1|libegl1|"
                                                                     "libgbm1|libgl1-mesa-dri|mesa-[a-z-]+)\n")))
        << closure.output;

    const std::string root = work.File("root");
    ASSERT_EQ(RunMerged("dpkg -x " + ShellQuote(window) + " " + ShellQuote(root)).exitCode, 0);
    ASSERT_EQ(RunMerged("dpkg -x " + ShellQuote(cli) + " " + ShellQuote(root)).exitCode, 0);
    CheckInstalledTree(root + "/usr");
}

}  // namespace
}  // namespace tessival

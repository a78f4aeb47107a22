#include <gtest/gtest.h>

#include <regex>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

// Builds a record byte by byte at the list file's field offsets.
std::string Record(const std::vector<std::pair<std::size_t, std::string>>& fields) {
    std::string record(1060, '\0');
    for (const auto& [offset, text] : fields) record.replace(offset, text.size(), text);
    return record;
}

constexpr std::size_t kSourceName = 255;
constexpr std::size_t kSourceType = 345;
constexpr std::size_t kDestPath = 364;
constexpr std::size_t kDestName = 619;
constexpr std::size_t kDestType = 699;

TEST(CliConventions, ExitCodesAndWhereTheTextGoes) {
    test::TempDir dir;
    struct Case {
        std::string arguments;
        int exitCode;
        std::string stdoutPattern;  // the whole of stdout
    };
    const std::vector<Case> cases = {
        {"--version", 0, "tessival-cli [0-9]+\\.[0-9]+\\.[0-9]+\n"},
        {"show --help", 0, "usage: tessival-cli show LIST\\.tsl \\[--json\\]\n\n.*\n"},
        {"convert -h", 0, "usage: tessival-cli convert LIST\\.tsl [\\s\\S]*"},
        {"--help", 0, "usage: tessival-cli COMMAND [\\s\\S]*"},
        {"nosuchcommand", 2, ""},
        // The value in the next argument, and "--" before an operand that looks like an option.
        {"convert --jobs 2 --shard 1/1 --progress none none.tsl", 1, ""},
        {"convert --jobs", 2, ""},
        {"convert --jobs=x none.tsl", 2, ""},
        {"show -- --help", 1, ""},
        {"show a.tsl b.tsl", 2, ""},
    };
    for (const Case& c : cases) {
        const auto result = RunProcess("cd " + ShellQuote(dir.Path()) + " && " + CliPath() + " " + c.arguments +
                                       " 2>" + ShellQuote(dir.File("err")));
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments;
        EXPECT_TRUE(std::regex_match(result.output, std::regex(c.stdoutPattern))) << c.arguments << ":\n"
                                                                                  << result.output;
    }
    // The operand after "--" reached the command as a path, not as --help.
    const auto read = RunProcess("cd " + ShellQuote(dir.Path()) + " && " + CliPath() + " show -- --help 2>&1");
    EXPECT_NE(read.output.find("cannot read list './--help'"), std::string::npos) << read.output;
}

TEST(CliConventions, ShowEscapesCellsAndJsonRoundTripsNamesThatAreNotUtf8) {
    test::TempDir dir;
    const std::string forged = "a\tb\nc\\d\x01" "e.wav";
    const std::string latin1 = "caf\xe9 \xff.wav";
    const std::string records =
        Record({{kSourceName, forged}, {kSourceType, "WAV"}, {kDestPath, "/o/"}, {kDestName, "x"},
                {kDestType, "WAV"}}) +
        Record({{kSourceName, latin1}, {kSourceType, "WAV"}, {kDestPath, "/o/"}, {kDestName, "\xc3\xbc"},
                {kDestType, "WAV"}});
    const std::string list = dir.File("l.tsl");
    test::WriteBytes(list, records);

    const auto rows = RunProcess(CliPath() + " show " + ShellQuote(list));
    EXPECT_EQ(rows.exitCode, 0);
    EXPECT_EQ(rows.output, "a\\tb\\nc\\\\d\\x01e.wav\tWAV\tx\tWAV\t/o/\t\n"
                           "caf\xe9 \xff.wav\tWAV\t\xc3\xbc\tWAV\t/o/\t\n");

    // Python reads each line as JSON and gets the original bytes back with os.fsencode.
    const auto python = RunProcess(
        CliPath() + " show --json " + ShellQuote(list) +
        " | python3 -c 'import sys, json, os\n"
        "for line in sys.stdin:\n"
        "    item = json.loads(line)\n"
        "    print(item[\"item\"], os.fsencode(item[\"sourceName\"]).hex(), os.fsencode(item[\"destName\"]).hex())'");
    EXPECT_EQ(python.exitCode, 0);
    EXPECT_EQ(python.output, "1 6109620a635c6401652e776176 78\n"
                             "2 636166e920ff2e776176 c3bc\n");
}

TEST(CliConventions, IncompleteItemsSayWhatTheyLack) {
    test::TempDir dir;
    const std::string list = dir.File("l.tsl");
    test::WriteBytes(list, Record({{kSourceName, "a.wav"}, {kSourceType, "WAV"}, {kDestPath, "/tmp/"},
                                   {kDestType, "WAV (PCM)"}}) +
                               Record({{kSourceName, "b.wav"}, {kSourceType, "WAV"}, {kDestName, "b"}}));
    const auto result = RunProcess(CliPath() + " convert " + ShellQuote(list) + " 2>&1");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output,
              "tessival-cli: item 1 (a.wav) is incomplete: it needs a quality and a dest name\n"
              "tessival-cli: item 2 (b.wav) is incomplete: it needs a dest type, a quality and a dest path\n");
}

TEST(CliConventions, DevicesWithoutASoundServerFails) {
    test::TempDir dir;
    const auto result = RunProcess("PULSE_SERVER=unix:" + ShellQuote(dir.File("none")) + " " + CliPath() +
                                   " devices 2>&1");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, "tessival-cli: No sound server answers (PulseAudio or PipeWire), so no capture device "
                             "can be listed.\n");
}

}  // namespace
}  // namespace tessival

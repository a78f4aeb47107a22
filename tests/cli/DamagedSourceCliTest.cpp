// Lists made with `add` and run with `convert` whose sources or list paths are not what they
// seem: damaged and joined files, FIFOs, folders and devices. Nothing may block or end the run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "platform/media/MediaFixtures.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

class CliDamagedSource : public ::testing::Test {
protected:
    CliDamagedSource() { std::filesystem::create_directory(out_); }
    // Every command runs under a time limit: a command that blocks fails the test instead of hanging it.
    test::ProcessResult Cli(const std::string& args) {
        return RunProcess("timeout -k 5 120 " + CliPath() + " " + args + " 2>/dev/null");
    }
    void Add(const std::string& source) {
        ASSERT_EQ(Cli("add " + ShellQuote(list_) + " '--dest-type=WAV (PCM)' --quality=2,1411,16,44100 --dest-path=" +
                      ShellQuote(out_) + " " + ShellQuote(source))
                      .exitCode,
                  0);
    }

    // The output of a source named stem.*, whether or not add gave it the type's extension.
    std::string Output(const std::string& stem) const {
        const std::string bare = out_ + "/" + stem;
        return std::filesystem::exists(bare + ".wav") ? bare + ".wav" : bare;
    }

    test::TempDir dir_;
    std::string list_ = dir_.File("list.tsl");
    std::string out_ = dir_.File("out");
};

TEST_F(CliDamagedSource, JoinedMp3sWithTagsAndGarbageConvertAndSayWhatWasSkipped) {
    const std::string a = dir_.File("a.mp3"), b = dir_.File("b.mp3"), joined = dir_.File("joined.mp3");
    ASSERT_TRUE(media::test::MakeTone(a, 44100, 2, "libmp3lame -b:a 128k", 2.0, "-id3v2_version 3 -metadata title=A"));
    ASSERT_TRUE(media::test::MakeTone(b, 22050, 1, "libmp3lame -b:a 64k", 2.0, "-id3v2_version 3 -metadata title=B"));
    ASSERT_EQ(RunProcess("cat " + ShellQuote(a) + " > " + ShellQuote(joined) + " && head -c 600 /dev/urandom >> " +
                         ShellQuote(joined) + " && cat " + ShellQuote(b) + " >> " + ShellQuote(joined))
                  .exitCode,
              0);
    Add(joined);

    const auto result = Cli("convert " + ShellQuote(list_));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(std::regex_search(result.output, std::regex("\n1: Complete\\([0-9]+s\\)\n1: skipped [1-9][0-9]* damaged "
                                                            "frames?\nConvert Complete!\n")))
        << result.output;
    const std::string out = Output("joined");
    const auto probe = media::test::Probe(out);
    EXPECT_EQ(probe.at("sample_rate"), "44100");
    EXPECT_EQ(probe.at("channels"), "2");
    EXPECT_NEAR(static_cast<double>(media::test::DecodeFloat(out, 44100, 2).size() / 2), 4.0 * 44100, 0.1 * 44100);
}

TEST_F(CliDamagedSource, ACutWavPackKeepsWhatDecodesAndOneWithNothingToDecodeFails) {
    const std::string whole = dir_.File("whole.wv");
    ASSERT_TRUE(media::test::MakeTone(whole, 44100, 2, "wavpack", 20.0));
    const std::string bytes = test::ReadBytes(whole);
    test::WriteBytes(dir_.File("half.wv"), bytes.substr(0, bytes.size() / 2));
    test::WriteBytes(dir_.File("tiny.wv"), bytes.substr(0, 100));
    Add(dir_.File("half.wv"));
    Add(dir_.File("tiny.wv"));

    const auto result = Cli("convert " + ShellQuote(list_));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(std::regex_search(result.output, std::regex("\n1: Complete\\([0-9]+s\\)\n1: skipped [1-9][0-9]* damaged "
                                                            "frames?\n")))
        << result.output;
    EXPECT_NE(result.output.find("\n2: Error: "), std::string::npos) << result.output;
    // Its first ten seconds, as FFmpeg decodes them too.
    const auto probe = media::test::Probe(Output("half"));
    ASSERT_EQ(probe.count("error"), 0u) << probe.at("error");
    EXPECT_NEAR(std::stod(probe.at("duration_ts")) / 44100.0, 10.0, 0.5);
    EXPECT_FALSE(std::filesystem::exists(Output("tiny")));
}

TEST_F(CliDamagedSource, AWmaOfWhichOnlyItsFirstFramesReadFailsAsDamagedAndLeavesNoFile) {
    const std::string wma = dir_.File("scrambled.wma");
    ASSERT_TRUE(media::test::MakeTone(wma, 44100, 2, "wmav2 -b:a 128k", 10.0));
    // Everything past the header and the first packet overwritten; the demuxer scans it all in vain.
    ASSERT_EQ(RunProcess("python3 -c 'import random,sys; random.seed(7); p=sys.argv[1]; d=bytearray(open(p,\"rb\").read()); "
                         "d[2048:]=bytes(random.randrange(256) for _ in d[2048:]); open(p,\"wb\").write(d)' " +
                         ShellQuote(wma))
                  .exitCode,
              0);
    Add(wma);

    const auto result = Cli("convert " + ShellQuote(list_));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(std::regex_search(result.output, std::regex("\n1: Error: The source file is damaged: [^\n]*\n1: skipped "
                                                            "[1-9][0-9]* damaged frames?\n")))
        << result.output;
    EXPECT_FALSE(std::filesystem::exists(Output("scrambled")));
}

TEST_F(CliDamagedSource, FifoFolderAndDeviceSourcesFailAtOnceAndTheRunGoesOn) {
    // Plain files when added (add refuses the others), something else by the time the run comes.
    for (const char* source : {"pipe.wav", "folder.mp3", "zero.wav"}) {
        test::WriteBytes(dir_.File(source), "x");
        Add(dir_.File(source));
        std::filesystem::remove(dir_.File(source));
    }
    ASSERT_EQ(::mkfifo(dir_.File("pipe.wav").c_str(), 0600), 0);
    std::filesystem::create_directory(dir_.File("folder.mp3"));
    std::filesystem::create_symlink("/dev/zero", dir_.File("zero.wav"));
    ASSERT_TRUE(media::test::MakeTone(dir_.File("good.wav"), 44100, 2, "pcm_s16le", 0.5));
    Add(dir_.File("good.wav"));

    const auto result = Cli("convert " + ShellQuote(list_));
    EXPECT_EQ(result.exitCode, 1) << result.output;
    for (const char* row : {"1", "2", "3"})
        EXPECT_NE(result.output.find(std::string(row) + ": Error: The source file is missing or cannot be read.\n"),
                  std::string::npos)
            << result.output;
    EXPECT_NE(result.output.find("4: Complete("), std::string::npos) << result.output;
}

TEST_F(CliDamagedSource, AListPathThatIsNoFileIsAUsageError) {
    const std::string fifo = dir_.File("fifo.tsl"), folder = dir_.File("folder.tsl");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(media::test::MakeTone(dir_.File("a.wav"), 44100, 2, "pcm_s16le", 0.2));
    for (const std::string& list : {fifo, folder, std::string("/dev/null")}) {
        EXPECT_EQ(Cli("convert " + ShellQuote(list)).exitCode, 2) << list;
        EXPECT_EQ(Cli("show " + ShellQuote(list)).exitCode, 2) << list;
        EXPECT_EQ(Cli("add " + ShellQuote(list) + " " + ShellQuote(dir_.File("a.wav"))).exitCode, 2) << list;
    }
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));  // add did not replace it with a list
}

}  // namespace
}  // namespace tessival

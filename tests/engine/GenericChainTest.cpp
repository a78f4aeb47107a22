#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "engine/conversion/ItemConversion.h"
#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "platform/media/MediaFixtures.h"
#include "platform/shell/ScriptedShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "support/TempDir.h"

namespace tessival {
namespace {


using media::test::MakeTone;
using media::test::Probe;

// The system's filters without the one named.
std::shared_ptr<media::FilterRegistry> SystemRegistryWithout(const std::string& missing) {
    auto registry = std::make_shared<media::FilterRegistry>();
    for (const media::Guid& category : {media::CLSID_LegacyAmFilterCategory, media::CLSID_AudioCompressorCategory}) {
        for (media::FilterEntry entry : media::SystemRegistry()->Entries(category))
            if (entry.friendlyName != missing) registry->Register(std::move(entry));
    }
    return registry;
}

class GenericChainTest : public ::testing::Test {
protected:
    ConvertItem MakeItem(const std::string& source) {
        ConvertItem item = MakeSingleFileItem(source);
        WriteField(item.destPath, dir_.Path());
        WriteField(item.destName, "out.wav");
        WriteField(item.destType, "WAV (PCM)");
        item.quality = QualityInfo{1, 2, 44100, 176400, 4, 16, 0};
        return item;
    }
    bool Convert(ConvertItem& item) {
        conversion_.reset();
        conversion_.emplace(item, ConversionServices{shell_, registry_, nullptr, halt_, progress_});
        const ConversionOutcome outcome = conversion_->Run();
        item = conversion_->Item();
        if (outcome.HasReason()) WriteField(item.status, StatusText(outcome));
        return outcome.converted;
    }

    tessival::test::TempDir dir_;
    ScriptedShell shell_;
    std::shared_ptr<const media::FilterRegistry> registry_ = media::SystemRegistry();
    HaltSwitch halt_;
    RunProgress progress_;
    std::optional<ItemConversion> conversion_;
};

TEST_F(GenericChainTest, WmaWithoutTheAsfHandlerConvertsThroughTheRebuiltPathAndKeepsText135) {
    const std::string source = dir_.File("song.wma");
    ASSERT_TRUE(MakeTone(source, 44100, 2, "wmav2", 2, "-b:a 128k"));
    ConvertItem item = MakeItem(source);
    registry_ = SystemRegistryWithout("ASF ACM Handler");
    ASSERT_TRUE(Convert(item));
    EXPECT_EQ(ReadField(item.status), LoadString(IDS_SOURCE_UNSUPPORTED));
    EXPECT_GE(conversion_->GenericChainNames().size(), 2u);
    const auto probe = Probe(dir_.File("out.wav"));
    EXPECT_EQ(probe.at("codec_name"), "pcm_s16le");
    EXPECT_EQ(probe.at("channels"), "2");
    // Two seconds, give or take one WMA frame.
    EXPECT_NEAR(std::stol(probe.at("duration_ts")), 2 * 44100, 2048);
}

TEST_F(GenericChainTest, UnknownSourceTypeConvertsWithoutAnyStatusText) {
    const std::string source = dir_.File("tone.sound");
    ASSERT_TRUE(MakeTone(source, 22050, 1, "pcm_s16le", 1, "-f wav"));
    ConvertItem item = MakeItem(source);
    ASSERT_EQ(ReadField(item.sourceType), "UNKNOWN");
    ASSERT_TRUE(Convert(item));
    EXPECT_EQ(ReadField(item.status), "Ready");
    const auto probe = Probe(dir_.File("out.wav"));
    EXPECT_EQ(probe.at("sample_rate"), "44100");
    EXPECT_NEAR(std::stol(probe.at("duration_ts")), 44100, 2);
}

TEST_F(GenericChainTest, SourcePathLongerThanAFilterNameConverts) {
    // The source filter's name is cut to 79 bytes; the path goes on past it, with two-byte
    // characters straddling the cut.
    std::string folder = dir_.Path() + "/";
    while (folder.size() < 76) folder += 'f';
    for (int i = 0; i < 20; ++i) folder += "\xC3\xA9";
    std::filesystem::create_directory(folder);
    const std::string source = folder + "/tone.sound";
    ASSERT_GT(source.size(), 100u);
    ASSERT_TRUE(MakeTone(source, 22050, 1, "pcm_s16le", 1, "-f wav"));
    ConvertItem item = MakeItem(source);
    ASSERT_TRUE(Convert(item)) << ReadField(item.status);
    EXPECT_EQ(ReadField(item.status), "Ready");
    const SourceAnalysis& analysis = conversion_->Analysis();
    EXPECT_TRUE(analysis.asyncSource);
    // The name ends before the character that byte 79 would split.
    const auto named = std::count(analysis.filters.begin(), analysis.filters.end(), source.substr(0, 78));
    EXPECT_EQ(named, 1);
    const auto probe = Probe(dir_.File("out.wav"));
    EXPECT_NEAR(std::stol(probe.at("duration_ts")), 44100, 2);
}

TEST_F(GenericChainTest, FileNoFilterCanReadFailsWithAClearText) {
    const std::string source = dir_.File("noise.bin");
    tessival::test::WriteBytes(source, std::string(4096, '\x42'));
    ConvertItem item = MakeItem(source);
    EXPECT_FALSE(Convert(item));
    EXPECT_EQ(ReadField(item.status), "Error: The source file is not a media file: no format Tessival reads recognises its content.");
    EXPECT_FALSE(std::filesystem::exists(dir_.File("out.wav")));
}

TEST_F(GenericChainTest, AFileTheInstalledFiltersCannotReadIsDamagedNotUnsupported) {
    const std::string whole = dir_.File("whole.wma");
    ASSERT_TRUE(MakeTone(whole, 44100, 2, "wmav2", 1));
    const std::string source = dir_.File("cut.wma");
    tessival::test::WriteBytes(source, tessival::test::ReadBytes(whole).substr(0, 100));
    ConvertItem item = MakeItem(source);
    EXPECT_FALSE(Convert(item));
    EXPECT_EQ(ReadField(item.status), "Error: The source file is damaged: its format is recognised, but no audio could be read from it.");
}

TEST_F(GenericChainTest, AudioInACodecNoDecoderHereReadsIsUnsupportedAndNamed) {
    const std::string source = dir_.File("odd.wav");
    ASSERT_TRUE(MakeTone(source, 22050, 1, "pcm_s16le", 1, "-f wav"));
    std::string bytes = tessival::test::ReadBytes(source);
    const std::size_t fmt = bytes.find("fmt ");
    ASSERT_NE(fmt, std::string::npos);
    bytes[fmt + 8] = 0x34;  // format code 0x1234, which no codec answers to
    bytes[fmt + 9] = 0x12;
    tessival::test::WriteBytes(source, bytes);
    ConvertItem item = MakeItem(source);
    EXPECT_FALSE(Convert(item));
    EXPECT_EQ(ReadField(item.status), "Error: The source's audio codec (wav format 0x1234) is unsupported on this computer.");
}

TEST_F(GenericChainTest, EmptyOrTextFilesAreNoMediaWhateverTheirExtension) {
    for (const char* name : {"empty.mp3", "empty.wav", "empty.avi", "empty.wma", "empty.mpg", "text.mp3", "text.wav",
                             "text.wma", "text.vob"}) {
        const std::string source = dir_.File(name);
        tessival::test::WriteBytes(source, name[0] == 't' ? "These are the notes for the mix, not the mix itself.\n" : "");
        ConvertItem item = MakeItem(source);
        EXPECT_FALSE(Convert(item)) << name;
        EXPECT_EQ(ReadField(item.status), "Error: The source file is not a media file: no format Tessival reads recognises its content.") << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.File("out.wav")));
}

TEST_F(GenericChainTest, MediaOfAnotherTypeThanItsNameStillConvertsAndKeepsTheTypedChainsText) {
    const std::string source = dir_.File("wave.mp3");
    ASSERT_TRUE(MakeTone(source, 22050, 1, "pcm_s16le", 1, "-f wav"));
    ConvertItem item = MakeItem(source);
    ASSERT_TRUE(Convert(item));
    EXPECT_EQ(ReadField(item.status), LoadString(IDS_SOURCE_INCOMPATIBLE));
    EXPECT_NEAR(std::stol(Probe(dir_.File("out.wav")).at("duration_ts")), 44100, 2);
}

}  // namespace
}  // namespace tessival

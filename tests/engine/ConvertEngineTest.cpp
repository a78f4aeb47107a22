#include <gtest/gtest.h>

#include <filesystem>

#include <optional>

#include "engine/ConvertEngine.h"
#include "engine/conversion/ItemConversion.h"
#include "engine/FindTypeFilter.h"
#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "platform/shell/ScriptedShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "support/TempDir.h"
#include "EngineFakes.h"

namespace tessival {
namespace {

using namespace media;
using test::Entry;
using test::PlainFilter;

// A conversion over a registry of fakes, converting one item whose source is a real file.
class ItemConversionTest : public ::testing::Test {
protected:
    ItemConversionTest() {
        test::WriteBytes(source_, "not really audio");
        item_ = MakeSingleFileItem(source_);
        WriteField(item_.destPath, dir_.Path());
        WriteField(item_.destName, "out.wav");
    }
    // A compressor with an input and one PCM output format.
    void AddCompressor(const char* name) {
        registry_->Register(Entry(CLSID_AudioCompressorCategory, name, [] {
            auto encoder = std::make_shared<test::PinFilter>();
            encoder->Add<InputPin>("In");
            encoder->Add<test::ConfigurablePin>("Out", std::vector<WAVEFORMATEX>{MakePcmFormat(8000, 1, 16)});
            return encoder;
        }));
    }
    bool Convert(const std::string& destType) {
        WriteField(item_.destType, destType);
        conversion_.reset();
        conversion_.emplace(item_, ConversionServices{shell_, registry_, nullptr, halt_, progress_});
        const ConversionOutcome outcome = conversion_->Run();
        if (outcome.HasReason()) WriteField(item_.status, StatusText(outcome));
        return outcome.converted;
    }
    bool InGraph(const std::string& name) {
        std::shared_ptr<IBaseFilter> filter;
        return SUCCEEDED(conversion_->Graph().FindFilterByName(name, filter));
    }
    std::size_t FiltersInGraph() {
        std::shared_ptr<IEnumFilters> filters;
        conversion_->Graph().EnumFilters(filters);
        return filters->All().size();
    }
    std::string Status() { return ReadField(item_.status); }

    test::TempDir dir_;
    std::string source_ = dir_.File("song.wav");
    ConvertItem item_;
    std::shared_ptr<FilterRegistry> registry_ = std::make_shared<FilterRegistry>();
    ScriptedShell shell_;
    HaltSwitch halt_;
    RunProgress progress_;
    std::optional<ItemConversion> conversion_;
};

TEST_F(ItemConversionTest, MissingEncoderFailsBeforeAnySourceFilterIsAdded) {
    EXPECT_FALSE(Convert("MP3"));
    EXPECT_EQ(Status(), LoadString(IDS_DEST_TYPE_INVALID));
    EXPECT_EQ(FiltersInGraph(), 0u);
}

TEST_F(ItemConversionTest, RemovedCompressorStillAddsTheSinkButFailsWith137) {
    EXPECT_FALSE(Convert("WAV (Gone Codec)"));
    EXPECT_EQ(Status(), LoadString(IDS_DEST_TYPE_INVALID));
    EXPECT_FALSE(InGraph("song.wav"));
}

TEST_F(ItemConversionTest, EncoderNameComesFromTheParenthesesWithItsLastCharacterCut) {
    AddCompressor("Foo Encoder");
    Convert("WAV (Foo");  // no closing parenthesis: the name is "Fo"
    EXPECT_TRUE(InGraph("Foo Encoder"));
}

TEST_F(ItemConversionTest, WindowsMediaTypesTryEachWmaEncoderInTurn) {
    AddCompressor("WMAudio Encoder DMO");
    Convert("WMAX");
    EXPECT_TRUE(InGraph("WMAudio Encoder DMO"));
    EXPECT_NE(Status(), LoadString(IDS_DEST_TYPE_INVALID));

    std::string name;
    EXPECT_TRUE(FindTypeFilter(shell_, "ASF", name, registry_));
    EXPECT_EQ(name, "WMAudio Encoder DMO");
    name = "untouched";
    EXPECT_FALSE(FindTypeFilter(shell_, "VOB", name, registry_));
    EXPECT_FALSE(FindTypeFilter(shell_, "OGG", name, registry_));
    EXPECT_EQ(name, "untouched");
}

TEST_F(ItemConversionTest, UninstalledSourceFiltersGive135AndTheGenericChainFindsNothing) {
    AddCompressor("PCM");
    EXPECT_FALSE(Convert("WAV"));
    EXPECT_EQ(Status(), LoadString(IDS_SOURCE_UNSUPPORTED));
}

TEST_F(ItemConversionTest, DestinationThatIsTheSourceFailsAndLeavesTheSourceAlone) {
    AddCompressor("PCM");
    WriteField(item_.destName, "song.wav");
    EXPECT_FALSE(Convert("WAV"));
    EXPECT_EQ(Status(), LoadString(IDS_DEST_IS_SOURCE));
    EXPECT_EQ(test::ReadBytes(source_), "not really audio");
    // Through another spelling of the same folder, too.
    WriteField(item_.destPath, dir_.Path() + "/./");
    EXPECT_FALSE(Convert("WAV"));
    EXPECT_EQ(Status(), LoadString(IDS_DEST_IS_SOURCE));
}

TEST_F(ItemConversionTest, MissingSourceAndDestFolderThatCannotBeMadeAreClearErrors) {
    AddCompressor("PCM");
    WriteField(item_.sourcePath, dir_.File("gone.wav"));
    WriteField(item_.destPath, dir_.File("not-made"));
    EXPECT_FALSE(Convert("WAV"));
    EXPECT_EQ(Status(), LoadString(IDS_SOURCE_UNREADABLE));
    EXPECT_FALSE(std::filesystem::exists(dir_.File("not-made")));  // no folder for a source that is not there

    WriteField(item_.sourcePath, source_);
    test::WriteBytes(dir_.File("plain"), "x");
    WriteField(item_.destPath, dir_.File("plain/sub"));
    EXPECT_FALSE(Convert("WAV"));
    EXPECT_EQ(Status(), "Error: Cannot create the dest folder " + dir_.File("plain/sub") + ": Not a directory");

    // The registry here has no source filters: the item goes on past its folder and fails later.
    WriteField(item_.destPath, dir_.File("made/below"));
    Convert("WAV");
    EXPECT_TRUE(std::filesystem::is_directory(dir_.File("made/below")));
    EXPECT_NE(Status(), LoadString(IDS_DEST_FOLDER_UNUSABLE));
}

TEST_F(ItemConversionTest, DestNameThatIsNoPlainFileNameFailsBeforeAnythingIsBuilt) {
    AddCompressor("PCM");
    std::filesystem::create_directory(dir_.File("folder"));
    std::filesystem::create_directory(dir_.File("sub"));
    for (const char* name : {".", "..", "sub/out.wav", "/out.wav", "folder"}) {
        WriteField(item_.destName, name);
        EXPECT_FALSE(Convert("WAV")) << name;
        EXPECT_EQ(Status(), LoadString(IDS_DEST_FOLDER_UNUSABLE)) << name;
        EXPECT_EQ(FiltersInGraph(), 0u) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.File("sub/out.wav")));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.File("folder")));
}

TEST_F(ItemConversionTest, UnknownSourceTypeGoesStraightToTheGenericChain) {
    AddCompressor("PCM");
    WriteField(item_.sourceType, "UNKNOWN");
    WriteField(item_.status, "Ready");
    EXPECT_FALSE(Convert("WAV"));
    // No typed chain ran; the generic chain found no path either, and says so.
    EXPECT_EQ(Status(), LoadString(IDS_SOURCE_NOT_MEDIA));
    EXPECT_EQ(conversion_->LastChainSlot(), -1);
}

TEST_F(ItemConversionTest, EncoderWithoutInputPinIsAnInvalidDestType) {
    registry_->Register(Entry(CLSID_AudioCompressorCategory, "PCM", PlainFilter()));
    EXPECT_FALSE(Convert("WAV"));
    EXPECT_EQ(Status(), LoadString(IDS_DEST_TYPE_INVALID));
}

TEST(DestinationFileName, JoinsPathAndNameAsTheyStand) {
    ConvertItem item;
    WriteField(item.destPath, "/music/");
    WriteField(item.destName, "song.wma");
    EXPECT_EQ(DestinationFileName(item), "/music//song.wma");
}

}  // namespace
}  // namespace tessival

#include <gtest/gtest.h>

#include <cstring>

#include "joblist/ConvertItem.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

const unsigned char* Bytes(const ConvertItem& item) { return reinterpret_cast<const unsigned char*>(&item); }

TEST(ConvertItem, NewRecordIsZeroFilled) {
    // Dirty the memory first so that a record that only looks zero by luck is caught.
    alignas(ConvertItem) unsigned char storage[sizeof(ConvertItem)];
    std::memset(storage, 0xAB, sizeof storage);
    auto* item = new (storage) ConvertItem;
    for (std::size_t i = 0; i < sizeof(ConvertItem); ++i) ASSERT_EQ(Bytes(*item)[i], 0) << "byte " << i;
    item->~ConvertItem();
}

TEST(ConvertItem, ByteImageMatchesListRecordLayout) {
    ConvertItem item;
    WriteField(item.sourceType, "MP3");
    item.captureDevice = 0x01020304;
    item.quality.nChannels = 2;
    item.quality.nSamplesPerSec = 44100;
    WriteField(item.status, "Ready");
    const unsigned char* bytes = Bytes(item);
    EXPECT_EQ(std::memcmp(bytes + 345, "MP3", 4), 0);
    EXPECT_EQ(bytes[356], 0x04);  // little-endian
    EXPECT_EQ(bytes[359], 0x01);
    EXPECT_EQ(bytes[781], 2);
    EXPECT_EQ(bytes[783] | bytes[784] << 8, 44100);
    EXPECT_EQ(std::memcmp(bytes + 804, "Ready", 6), 0);
}

TEST(TextField, LongTextIsCutAndNeverSpillsIntoTheNextField) {
    ConvertItem item;
    WriteField(item.sourceExt, "abcdefghijklmnop");
    EXPECT_EQ(ReadField(item.sourceExt), "abcdefghi");
    EXPECT_EQ(item.sourceType[0], '\0');
}

TEST(TextField, CutKeepsWholeUtf8Characters) {
    char field[10]{};
    // "abcdefgh" + "é" (2 bytes) needs 10 bytes; only 9 fit, so the é goes entirely.
    WriteField(field, "abcdefgh\xC3\xA9");
    EXPECT_EQ(ReadField(field), "abcdefgh");
    // A 3-byte character straddling the limit goes as a whole, too.
    WriteField(field, "abcdefg\xE2\x82\xAC");
    EXPECT_EQ(ReadField(field), "abcdefg");
    WriteField(field, "abcdef\xE2\x82\xAC");
    EXPECT_EQ(ReadField(field), "abcdef\xE2\x82\xAC");
}

TEST(TextField, CutNeverEmptiesAFieldOfBytesThatAreNotUtf8) {
    char field[80]{};
    // Latin-1 degree signs are UTF-8 continuation bytes: the cut stays at the field's end.
    WriteField(field, std::string(100, '\xB0'));
    EXPECT_EQ(ReadField(field), std::string(79, '\xB0'));
    // A lead byte followed by more continuation bytes than any character has.
    WriteField(field, "\xE2" + std::string(99, '\x80'));
    EXPECT_EQ(ReadField(field).size(), 79u);
    // A four-byte character at the limit still goes as a whole.
    WriteField(field, std::string(77, 'a') + "\xF0\x9F\x8E\xB5");
    EXPECT_EQ(ReadField(field), std::string(77, 'a'));
}

TEST(TextField, ShorterTextLeavesTheRemainsOfTheLongerOneBehindItsNul) {
    char field[10]{};
    WriteField(field, "longname");
    WriteField(field, "ab");
    EXPECT_EQ(ReadField(field), "ab");
    EXPECT_EQ(std::string(field + 3, 5), "gname");
}

TEST(TextField, FieldWithoutNulIsReadToItsEndOnly) {
    ConvertItem item;
    std::memset(item.sourceExt, 'x', sizeof item.sourceExt);
    std::memset(item.sourceType, 'y', sizeof item.sourceType);
    EXPECT_EQ(ReadField(item.sourceExt), std::string(10, 'x'));
    EXPECT_EQ(FieldLength(item.sourceExt), 10u);
}

}  // namespace
}  // namespace tessival

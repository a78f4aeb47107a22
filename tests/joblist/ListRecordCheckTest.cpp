#include <gtest/gtest.h>

#include <cstring>

#include "joblist/ItemFactory.h"
#include "joblist/ListRecordCheck.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

TEST(ListRecordCheckTest, ARecordReadsAsAnItemOnlyWithEndedFieldsAndAKnownSourceType) {
    struct Case {
        const char* what;
        void (*change)(ConvertItem&);
        bool readsAsItem;
    };
    const Case cases[] = {
        {"an added file", [](ConvertItem&) {}, true},
        {"a zeroed record", [](ConvertItem& r) { r = ConvertItem{}; }, true},
        {"a type chosen in the window", [](ConvertItem& r) { WriteField(r.sourceType, "WV "); }, true},
        {"an older program's path", [](ConvertItem& r) { WriteField(r.sourcePath, "C:\\Music\\a.mp3"); }, true},
        {"a path without its end", [](ConvertItem& r) { std::memset(r.sourcePath, 'a', sizeof r.sourcePath); }, false},
        {"control bytes in the path", [](ConvertItem& r) { WriteField(r.sourcePath, "ID3\x04"); }, false},
        {"an unknown source type", [](ConvertItem& r) { WriteField(r.sourceType, "\xff\xfb\x90"); }, false},
        {"a type without its end", [](ConvertItem& r) { std::memset(r.sourceType, 'M', sizeof r.sourceType); }, false},
        {"a dest type without its end", [](ConvertItem& r) { std::memset(r.destType, 'x', sizeof r.destType); }, false},
    };
    for (const Case& c : cases) {
        ConvertItem record = MakeSingleFileItem("/music/a.mp3");
        c.change(record);
        EXPECT_EQ(ReadsAsListRecord(record), c.readsAsItem) << c.what;
    }
}

}  // namespace
}  // namespace tessival

#include <gtest/gtest.h>

#include "res/StringTable.h"

namespace tessival {
namespace {

TEST(StringTable, EveryIdOfTheProgramHasItsText) {
    const int ids[] = {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 115, 116, 123, 124,
                       125, 126, 127, 128, 130, 131, 132, 133, 135, 136, 137, 138, 139, 140, 141, 142, 143};
    for (int id : ids) EXPECT_FALSE(LoadString(id).empty()) << "string " << id;
    EXPECT_EQ(LoadString(114), "");
    EXPECT_EQ(LoadString(0), "");
}

TEST(StringTable, FormatsCarryExactlyTheirPlaceholders) {
    // These texts are used as printf formats; a stray % would corrupt the output.
    EXPECT_EQ(LoadString(126), "All quality of \"%s\"");
    const std::string missing = LoadString(142);
    EXPECT_EQ(missing.find("%s"), missing.rfind('%'));
    for (int id : {125, 127, 128, 130, 131, 132, 133, 135, 136, 137, 138, 139, 143})
        EXPECT_EQ(LoadString(id).find('%'), std::string::npos) << "string " << id;
}

TEST(StringTable, PlaceholdersAreFilledInOrderAndArgumentsStayAsTheyAre) {
    EXPECT_EQ(LoadString(160, {"2", "/out/50%s.wav"}),
              "Error: Row 2 writes the same destination file /out/50%s.wav. Choose another dest name or dest path.");
    // A placeholder without its argument stays as it is.
    EXPECT_EQ(LoadString(161, {"254"}), "This file was not added: its path is longer than 254 bytes.\n%s");
    EXPECT_EQ(LoadString(147, {"unused"}), LoadString(147));
}

}  // namespace
}  // namespace tessival

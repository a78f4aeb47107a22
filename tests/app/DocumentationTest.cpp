// The pages a user reads name what the program has: a command or type added without its
// documentation fails here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "joblist/DestTypes.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

std::string SourceFile(const std::string& path) {
    const char* root = std::getenv("TESSIVAL_SOURCE_DIR");
    return test::ReadBytes(std::string(root ? root : ".") + "/" + path);
}

TEST(Documentation, EveryCommandHasItsEntryInTheManPage) {
    const auto help = test::RunProcess(test::CliPath() + " help");
    ASSERT_EQ(help.exitCode, 0);
    const std::string page = SourceFile("dist/man/tessival-cli.1");
    const std::regex command("\n  ([a-z]+) ");
    int commands = 0;
    for (auto it = std::sregex_iterator(help.output.begin(), help.output.end(), command); it != std::sregex_iterator();
         ++it, ++commands) {
        const std::string name = (*it)[1];
        const bool entry = page.find("\n.TP\n.B " + name + "\n") != std::string::npos ||
                           page.find("\n.TP\n.BI \"" + name + " ") != std::string::npos;
        EXPECT_TRUE(entry) << name << " has no entry in tessival-cli(1)";
    }
    EXPECT_GE(commands, 10);
}

TEST(Documentation, EveryFileTypeIsNamedInTheHelpTheManPageAndTheMetainfo) {
    for (const char* path : {"src/res/tessival.hlp", "dist/man/tessival.1", "dist/com.kestrane.tessival.metainfo.xml"}) {
        const std::string text = SourceFile(path);
        for (const FileDestType& type : FileDestTypes())
            EXPECT_NE(text.find(std::string(type.type)), std::string::npos) << path << " lacks " << type.type;
    }
}

}  // namespace
}  // namespace tessival

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

std::string FileBelow(const char* rootVariable, const std::string& path) {
    const char* root = std::getenv(rootVariable);
    return test::ReadBytes(std::string(root ? root : ".") + "/" + path);
}

std::string SourceFile(const std::string& path) { return FileBelow("TESSIVAL_SOURCE_DIR", path); }
// The pages the build writes from docs/manual.md.
std::string BuiltFile(const std::string& path) { return FileBelow("TESSIVAL_BUILD_DIR", path); }

TEST(Documentation, EveryCommandHasItsEntryInTheManPage) {
    const auto help = test::RunProcess(test::CliPath() + " help");
    ASSERT_EQ(help.exitCode, 0);
    const std::string page = BuiltFile("docs/tessival-cli.1");
    const std::regex command("\n  ([a-z]+) ");
    int commands = 0;
    for (auto it = std::sregex_iterator(help.output.begin(), help.output.end(), command); it != std::sregex_iterator();
         ++it, ++commands) {
        const std::string name = (*it)[1];
        EXPECT_NE(page.find("\n.TP\n\\fB" + name + "\\fR"), std::string::npos) << name << " has no entry in tessival-cli(1)";
    }
    EXPECT_GE(commands, 10);
}

TEST(Documentation, EveryFileTypeIsNamedInTheHelpTheManPageAndTheMetainfo) {
    for (const std::string& text : {BuiltFile("docs/tessival.html"), BuiltFile("docs/tessival.1"),
                                     SourceFile("dist/com.kestrane.tessival.metainfo.xml")}) {
        for (const FileDestType& type : FileDestTypes())
            EXPECT_NE(text.find(std::string(type.type)), std::string::npos) << text.substr(0, 60) << " lacks " << type.type;
    }
}

}  // namespace
}  // namespace tessival

// tessival-cli types: the destination types a user can pick, as the properties dialog lists them.
#include <cstdio>

#include "cli/CliCommand.h"
#include "engine/InstalledDestTypes.h"
#include "platform/shell/ConsoleShell.h"

namespace tessival::cli {
namespace {

void PrintLine(std::string_view text) { std::printf("%.*s\n", static_cast<int>(text.size()), text.data()); }

int Types(const std::vector<std::string>& args) {
    if (!args.empty()) return UsageError("usage: tessival-cli types");
    ConsoleShell shell;
    const DestTypeList types = InstalledDestTypes(shell);
    for (const auto* group : {&types.builtIn, &types.compressors, &types.files})
        for (const std::string& type : *group) PrintLine(type);
    return kExitOk;
}

const CommandRegistration registration({"types", "",
                                        "list the destination types one a line, in the properties dialog's order "
                                        "(without its separators)",
                                        Types});

}  // namespace
}  // namespace tessival::cli

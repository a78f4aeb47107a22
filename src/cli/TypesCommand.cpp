// tessival-cli types: the destination types a user can pick, as the properties dialog lists them.
#include <cstdio>

#include "cli/CliCommand.h"
#include "engine/GraphToolkit.h"
#include "joblist/FileDestTypes.h"
#include "joblist/ItemTypes.h"
#include "platform/shell/ConsoleShell.h"

namespace tessival::cli {
namespace {

void PrintLine(std::string_view text) { std::printf("%.*s\n", static_cast<int>(text.size()), text.data()); }

int Types(const std::vector<std::string>& args) {
    if (!args.empty()) return UsageError("usage: tessival-cli types");
    for (std::string_view type : BuiltInDestTypes()) PrintLine(type);
    ConsoleShell shell;
    GraphToolkit toolkit(shell);
    const int count = toolkit.ListCategory(media::CLSID_AudioCompressorCategory);
    for (int i = 0; i < count; ++i) PrintLine(CompressorDestType(toolkit.GetDeviceName(i)));
    for (const FileDestType& file : FileDestTypes()) PrintLine(file.type);
    return kExitOk;
}

const CommandRegistration registration({"types", "",
                                        "list the destination types one a line, in the properties dialog's order "
                                        "(without its separators)",
                                        Types});

}  // namespace
}  // namespace tessival::cli

// tessival-cli devices: the audio capture devices, as "From Capturer" offers them.
#include <cstdio>

#include "cli/CliCommand.h"
#include "engine/CaptureDevices.h"
#include "platform/devices/PulseQuery.h"
#include "platform/shell/ConsoleShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival::cli {
namespace {

// One device a line: its index, its name, then "LINE:NAME" for each input line, tab-separated.
int Devices(const std::vector<std::string>& args) {
    if (!args.empty()) return UsageError("usage: tessival-cli devices");
    ConsoleShell shell;
    GraphToolkit toolkit(shell);
    const auto devices = ListCaptureDevices(toolkit);
    // An empty list from a server is an answer; no server is a failure a script must see.
    if (devices.empty() && !PulseQuery(std::chrono::seconds(3)).Connected()) return Failure(LoadString(IDS_CLI_NO_SOUND_SERVER));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        std::printf("%zu\t%s", i, devices[i].name.c_str());
        for (std::size_t line = 0; line < devices[i].lines.size(); ++line)
            std::printf("\t%zu:%s", line, devices[i].lines[line].c_str());
        std::printf("\n");
    }
    return kExitOk;
}

const CommandRegistration registration({"devices", "", "list the audio capture devices and their input lines",
                                        Devices});

}  // namespace
}  // namespace tessival::cli

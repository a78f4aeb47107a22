// tessival-cli qualities TYPE: the rows the quality dialog shows for a destination type.
#include <cstdio>

#include "cli/CliCommand.h"
#include "engine/QualityListing.h"
#include "platform/shell/ConsoleShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival::cli {
namespace {

int Qualities(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError("usage: tessival-cli qualities TYPE   (e.g. MP3, WMA, WAV, \"WAV (PCM)\", FLAC; see `types`)");
    ConsoleShell shell;
    const std::string encoder = QualityEncoderName(shell, args[0]);
    if (encoder.empty()) return Failure("no encoder for \"" + args[0] + "\" is installed");
    const auto qualities = ListEncoderQualities(shell, encoder);
    if (qualities.empty()) return Failure(LoadString(IDS_QUALITY_LIST_FAILED));
    // The dialog's four columns, then the same quality as add's --quality takes it, to paste.
    std::printf("Channel\tkbps\tBit\tFrequency\t--quality\n");
    for (const QualityInfo& quality : qualities) {
        const auto cells = QualityCells(quality);
        std::printf("%s\t%s\t%s\t%s\t%s\n", cells[0].c_str(), cells[1].c_str(), cells[2].c_str(), cells[3].c_str(),
                    QualityArgument(quality).c_str());
    }
    return kExitOk;
}

const CommandRegistration registration({"qualities", "TYPE", "list the qualities of a destination type", Qualities});

}  // namespace
}  // namespace tessival::cli

// tessival-cli probe: the start-up probe's report: what is present, what is missing, and the
// messages the window shows for it with the page their OK opens.
#include <cstdio>

#include "app/ProbeEnvironment.h"
#include "cli/CliCommand.h"
#include "platform/shell/ConsoleShell.h"

namespace tessival::cli {
namespace {

std::string PackageList(const std::vector<std::string>& packages) {
    std::string text;
    for (const std::string& package : packages) text += (text.empty() ? "" : " ") + package;
    return text;
}

int Probe(const std::vector<std::string>& args) {
    if (!args.empty()) return UsageError("usage: tessival-cli probe");
    ConsoleShell shell;
    ProbeEnvironment probe(shell);
    probe.Probe();
    for (const ProbedComponent& component : probe.Components()) {
        if (component.Present())
            std::printf("%-20s present  %s\n", component.label.c_str(), component.filterName.c_str());
        else
            std::printf("%-20s missing  (%s)\n", component.label.c_str(), PackageList(component.packages).c_str());
    }
    for (const ProbeOffer& offer : probe.Offers())
        std::printf("\nmessage %d:\n%s\nOK opens %s\n", offer.messageId, offer.text.c_str(), offer.target.c_str());
    return probe.NothingMissing() ? kExitOk : kExitFailure;
}

const CommandRegistration registration({"probe", "",
                                        "check the encoders and decoders Tessival needs; exit 1 when one is missing",
                                        Probe});

}  // namespace
}  // namespace tessival::cli

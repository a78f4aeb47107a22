// tessival-cli: the headless companion of the Tessival window.
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "res/Version.h"

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out, "usage: tessival-cli COMMAND [ARGS]\n       tessival-cli COMMAND --help\n       "
                 "tessival-cli --version\n\ncommands:\n");
    auto commands = tessival::cli::Commands();
    std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const auto& command : commands) {
        std::string line = command.name + " " + command.usage;
        std::fprintf(out, "  %-44s %s\n", line.c_str(), command.summary.c_str());
    }
}

// Every item builds and frees the same graph, resampler tables and buffers again. Freed memory
// stays with the process for the next item rather than going back to the system and faulting in
// anew, which with several workers also costs them each other's page-table locks.
void KeepFreedMemory() {
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tessival::cli;
    KeepFreedMemory();
    if (argc < 2) {
        PrintHelp(stderr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "help" || name == "--help" || name == "-h") {
        PrintHelp(stdout);
        return kExitOk;
    }
    if (name == "--version") {
        std::printf("tessival-cli %s\n", tessival::kVersion);
        return kExitOk;
    }
    if (const CliCommand* command = FindCommand(name)) {
        const std::vector<std::string> args(argv + 2, argv + argc);
        if (AsksForHelp(args)) {
            PrintCommandHelp(*command, stdout);
            return kExitOk;
        }
        return command->run(CanonicalArguments(*command, args));
    }
    std::fprintf(stderr, "tessival-cli: unknown command '%s'\n", name.c_str());
    PrintHelp(stderr);
    return kExitUsage;
}

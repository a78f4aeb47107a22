// The longer run of the kill test: 30 rounds of a 500-item run killed (SIGKILL) at a random
// moment, each checked for outputs that are not whole and finished with --skip-existing.
#include <cstdlib>
#include <string>

#include "ProcessPair.h"

using namespace tessival::bench;

int main(int argc, char** argv) {
    const std::string rounds = argc > 1 ? argv[1] : "30";
    const std::string script = std::string(TESSIVAL_SOURCE_DIR) + "/tests/cli/KillMidRun.sh";
    const double seconds = TimeShell("sh " + Quote(script) + " " + Quote(CliPath()) + " " + rounds + " 500");
    if (seconds < 0) {
        std::fprintf(stderr, "the kill test failed\n");
        return 1;
    }
    std::printf("%s rounds of 500 items killed and finished, every named output whole: %.1f s\n", rounds.c_str(),
                seconds);
    return 0;
}

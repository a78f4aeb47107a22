#pragma once

#include <string>

namespace tessival::cli {

// What `convert` writes besides its status lines: on a terminal a progress line (unless none),
// or JSON objects instead of text.
enum class ProgressOutput { Terminal, None, Json };

// How `convert` spreads a list: over workers in this process and over processes.
struct BatchOptions {
    int jobs = 1;          // workers; 0 on the command line means one per core
    int shardIndex = 0;    // 0-based
    int shardCount = 1;
    ProgressOutput progress = ProgressOutput::Terminal;
};

enum class OptionParse { NotMine, Taken, Bad };

// Takes --jobs=N, --shard=I/N and --progress=json|none into options.
OptionParse ParseBatchOption(const std::string& arg, BatchOptions& options);

}  // namespace tessival::cli

#include "cli/BatchOptions.h"

#include <algorithm>
#include <charconv>
#include <thread>

namespace tessival::cli {
namespace {

bool ParseCount(std::string_view text, int& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

OptionParse ParseJobs(std::string_view value, BatchOptions& options) {
    if (!ParseCount(value, options.jobs)) return OptionParse::Bad;
    if (options.jobs == 0) options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return OptionParse::Taken;
}

OptionParse ParseShard(std::string_view value, BatchOptions& options) {
    const auto slash = value.find('/');
    if (slash == std::string_view::npos) return OptionParse::Bad;
    int index = 0;
    int count = 0;
    if (!ParseCount(value.substr(0, slash), index) || !ParseCount(value.substr(slash + 1), count)) return OptionParse::Bad;
    if (index < 1 || index > count) return OptionParse::Bad;
    options.shardIndex = index - 1;
    options.shardCount = count;
    return OptionParse::Taken;
}

}  // namespace

OptionParse ParseBatchOption(const std::string& arg, BatchOptions& options) {
    const std::string_view view(arg);
    if (StartsWith(arg, "--jobs=")) return ParseJobs(view.substr(7), options);
    if (StartsWith(arg, "--shard=")) return ParseShard(view.substr(8), options);
    if (arg == "--progress=json" || arg == "--progress=none") {
        options.progress = arg == "--progress=json" ? ProgressOutput::Json : ProgressOutput::None;
        return OptionParse::Taken;
    }
    return StartsWith(arg, "--progress=") ? OptionParse::Bad : OptionParse::NotMine;
}

}  // namespace tessival::cli

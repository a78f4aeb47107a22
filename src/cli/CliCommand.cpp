#include "cli/CliCommand.h"

#include <cstdio>

namespace tessival::cli {
namespace {

std::vector<CliCommand>& Registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

}  // namespace

const std::vector<CliCommand>& Commands() { return Registry(); }

CommandRegistration::CommandRegistration(CliCommand command) { Registry().push_back(std::move(command)); }

int UsageError(const std::string& message) {
    std::fprintf(stderr, "tessival-cli: %s\n", message.c_str());
    return kExitUsage;
}

int Failure(const std::string& message) {
    std::fprintf(stderr, "tessival-cli: %s\n", message.c_str());
    return kExitFailure;
}

int ListReadFailure(const std::string& path, ListFileResult result) {
    const std::string message = "cannot read list '" + path + "': " + ToString(result);
    return result == ListFileResult::NotAFile ? UsageError(message) : Failure(message);
}

namespace {

ListFileResult WarnAboutTrailingBytes(const std::string& path, ListFileResult result, std::size_t trailing) {
    if (result == ListFileResult::Ok && trailing > 0)
        std::fprintf(stderr, "tessival-cli: warning: list '%s' ends with %zu bytes that are not a whole item; they are "
                     "left out\n", path.c_str(), trailing);
    return result;
}

}  // namespace

ListFileResult ReadCommandList(const std::string& path, ItemList& items) {
    std::size_t trailing = 0;
    const ListFileResult result = ReadListFile(path, items, &trailing);
    return WarnAboutTrailingBytes(path, result, trailing);
}

ListFileResult VisitCommandList(const std::string& path, const RecordBatchVisitor& visit) {
    std::size_t trailing = 0;
    const ListFileResult result = VisitListFile(path, visit, &trailing);
    return WarnAboutTrailingBytes(path, result, trailing);
}

}  // namespace tessival::cli

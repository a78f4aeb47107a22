// tessival-cli show LIST.tsl: the list's rows as the main window shows them.
#include <cstdio>

#include "cli/CliCommand.h"
#include "joblist/ItemColumns.h"
#include "joblist/ListFile.h"

namespace tessival::cli {
namespace {

int Show(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError("usage: tessival-cli show LIST.tsl");
    // Printed as read: a list of an archive need not fit in memory to be shown.
    const ListFileResult result = VisitCommandList(args[0], [](std::span<const ConvertItem> batch) {
        for (const ConvertItem& item : batch) {
            const auto cells = ItemCells(item);
            for (int column = 0; column < kItemColumnCount; ++column) {
                std::fputs(cells[column].c_str(), stdout);
                std::fputc(column + 1 < kItemColumnCount ? '\t' : '\n', stdout);
            }
        }
    });
    return result == ListFileResult::Ok ? kExitOk : ListReadFailure(args[0], result);
}

const CommandRegistration registration({"show", "LIST.tsl", "print each item's six list cells, tab-separated", Show});

}  // namespace
}  // namespace tessival::cli

// tessival-cli show LIST.tsl: the list's rows as the main window shows them.
#include <cstdio>

#include "cli/CliCommand.h"
#include "joblist/ItemColumns.h"
#include "joblist/ListFile.h"

namespace tessival::cli {
namespace {

int Show(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError("usage: tessival-cli show LIST.tsl");
    ItemList items;
    const ListFileResult result = ReadCommandList(args[0], items);
    if (result != ListFileResult::Ok) return ListReadFailure(args[0], result);
    items.ForEach([](const ConvertItem& item) {
        const auto cells = ItemCells(item);
        for (int column = 0; column < kItemColumnCount; ++column) {
            std::fputs(cells[column].c_str(), stdout);
            std::fputc(column + 1 < kItemColumnCount ? '\t' : '\n', stdout);
        }
    });
    return kExitOk;
}

const CommandRegistration registration({"show", "LIST.tsl", "print each item's six list cells, tab-separated", Show});

}  // namespace
}  // namespace tessival::cli

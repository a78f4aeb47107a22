// tessival-cli show LIST.tsl: the list's rows as the main window shows them.
#include <cstdio>

#include "cli/CliCommand.h"
#include "cli/JsonProgress.h"
#include "joblist/ItemColumns.h"
#include "joblist/ListFile.h"

namespace tessival::cli {
namespace {

// A cell as one tab-free, newline-free field: a name holding a tab or a newline cannot forge a row.
std::string EscapedCell(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

// "Source name" -> "sourceName".
std::string JsonKey(std::string_view header) {
    std::string key;
    bool upper = false;
    for (const char c : header) {
        if (c == ' ') {
            upper = true;
            continue;
        }
        key += upper ? static_cast<char>(c - 'a' + 'A') : c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        upper = false;
    }
    return key;
}

void PrintRow(const ConvertItem& item) {
    const auto cells = ItemCells(item);
    for (int column = 0; column < kItemColumnCount; ++column) {
        std::fputs(EscapedCell(cells[column]).c_str(), stdout);
        std::fputc(column + 1 < kItemColumnCount ? '\t' : '\n', stdout);
    }
}

void PrintJsonRow(const ConvertItem& item, std::size_t number) {
    const auto cells = ItemCells(item);
    std::string line = "{\"item\":" + std::to_string(number);
    for (int column = 0; column < kItemColumnCount; ++column)
        line += ",\"" + JsonKey(ItemColumns()[column].header) + "\":" + JsonString(cells[column]);
    std::printf("%s}\n", line.c_str());
}

int Show(const std::vector<std::string>& args) {
    constexpr const char* kUsage = "usage: tessival-cli show LIST.tsl [--json]";
    std::string list;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            json = true;
        } else if (arg.starts_with("--") || !list.empty()) {
            return UsageError(kUsage);
        } else {
            list = arg;
        }
    }
    if (list.empty()) return UsageError(kUsage);
    std::size_t number = 0;
    // Printed as read: a list of an archive need not fit in memory to be shown.
    const ListFileResult result = VisitCommandList(list, [&](std::span<const ConvertItem> batch) {
        for (const ConvertItem& item : batch) json ? PrintJsonRow(item, ++number) : PrintRow(item);
    });
    return result == ListFileResult::Ok ? kExitOk : ListReadFailure(list, result);
}

const CommandRegistration registration({"show", "LIST.tsl [--json]",
                                        "print each item's six list cells, tab-separated with \\t \\n \\\\ \\xNN "
                                        "escapes, or one JSON object an item",
                                        Show});

}  // namespace
}  // namespace tessival::cli

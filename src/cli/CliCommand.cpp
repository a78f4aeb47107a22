#include "cli/CliCommand.h"

#include <algorithm>
#include <cstdio>
#include <regex>

namespace tessival::cli {
namespace {

std::vector<CliCommand>& Registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

}  // namespace

const std::vector<CliCommand>& Commands() { return Registry(); }

const CliCommand* FindCommand(const std::string& name) {
    const auto& commands = Registry();
    const auto found = std::find_if(commands.begin(), commands.end(), [&](const auto& c) { return c.name == name; });
    return found == commands.end() ? nullptr : &*found;
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

void PrintCommandHelp(const CliCommand& command, FILE* out) {
    std::fprintf(out, "usage: tessival-cli %s%s%s\n\n%s\n", command.name.c_str(), command.usage.empty() ? "" : " ",
                 command.usage.c_str(), command.summary.c_str());
}

namespace {

// The options whose usage reads "--NAME=..."; "--NAME[=...]" takes its value only after '='.
std::vector<std::string> OptionsWithValue(const std::string& usage) {
    static const std::regex option("--[a-z][a-z-]*=");
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it) {
        const std::string name = it->str();
        names.push_back(name.substr(0, name.size() - 1));
    }
    return names;
}

}  // namespace

std::vector<std::string> CanonicalArguments(const CliCommand& command, const std::vector<std::string>& args) {
    const std::vector<std::string> withValue = OptionsWithValue(command.usage);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            for (++i; i < args.size(); ++i) out.push_back(args[i].starts_with('-') ? "./" + args[i] : args[i]);
            break;
        }
        const bool takesNext = std::find(withValue.begin(), withValue.end(), arg) != withValue.end();
        if (takesNext && i + 1 < args.size()) {
            out.push_back(arg + "=" + args[++i]);
        } else {
            out.push_back(arg);
        }
    }
    return out;
}

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

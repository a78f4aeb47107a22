#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "joblist/ListFile.h"

namespace tessival::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// One subcommand of tessival-cli. Each command's file registers itself with a static
// CommandRegistration, so adding a command touches no other file.
struct CliCommand {
    std::string name;
    std::string usage;    // arguments, e.g. "LIST.tsl"
    std::string summary;  // one line
    std::function<int(const std::vector<std::string>& args)> run;
};

const std::vector<CliCommand>& Commands();
const CliCommand* FindCommand(const std::string& name);

// True when an argument before "--" is --help or -h.
bool AsksForHelp(const std::vector<std::string>& args);
// "usage: tessival-cli NAME USAGE" and the summary.
void PrintCommandHelp(const CliCommand& command, FILE* out);

// The arguments as every command reads them: an option the usage shows as --NAME=VALUE may also
// be given as "--NAME VALUE", and after "--" every argument is an operand. Operands are paths or
// names, so one that begins with '-' is passed on as "./-..." and no command takes it for an option.
std::vector<std::string> CanonicalArguments(const CliCommand& command, const std::vector<std::string>& args);

struct CommandRegistration {
    explicit CommandRegistration(CliCommand command);
};

// Prints "tessival-cli: <message>" on stderr and returns kExitUsage.
int UsageError(const std::string& message);
// Prints "tessival-cli: <message>" on stderr and returns kExitFailure.
int Failure(const std::string& message);
// Says why a list could not be read. A path that names no list file at all (a folder, a FIFO)
// is a usage error; the rest are failures.
int ListReadFailure(const std::string& path, ListFileResult result);

// Reads a command's list file. Bytes after the last whole record are left out, with a warning on
// stderr that says how many.
ListFileResult ReadCommandList(const std::string& path, ItemList& items);
// The same a batch of records at a time, for commands that need not hold the whole list.
ListFileResult VisitCommandList(const std::string& path, const RecordBatchVisitor& visit);

}  // namespace tessival::cli

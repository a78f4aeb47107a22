#pragma once

#include <functional>
#include <span>
#include <string>

#include "joblist/ItemList.h"

namespace tessival {

// The list file: the 1060-byte records of the items, in list order, and nothing else.
enum class ListFileResult {
    Ok,
    CannotOpen,  // the file cannot be opened or created
    NotAFile,    // a folder, FIFO, socket or device: never opened as a list
    IoError,     // reading or writing failed after the file was opened
};

const char* ToString(ListFileResult result);

// Appends ".tsl" when the path has no "." at all or its first "." is its first character.
std::string WithListExtension(const std::string& path);

// A path that names a list file: it ends in ".tsl", in any case.
bool IsListFile(const std::string& path);

// Writes every record in order. The file is replaced only once all records are written, so a
// failed save leaves an older file intact.
ListFileResult WriteListFile(const std::string& path, const ItemList& items);

// Reads length / 1060 complete records (a trailing partial record is ignored, and its size is
// given in `trailingBytes` when asked for). `items` is filled only on success; on failure it is
// left empty.
ListFileResult ReadListFile(const std::string& path, ItemList& items, std::size_t* trailingBytes = nullptr);

// The same records, handed to `visit` a batch at a time and never held all at once (a list of an
// archive is a hundred mebibytes). A failure part way through comes after the batches before it.
using RecordBatchVisitor = std::function<void(std::span<const ConvertItem>)>;
ListFileResult VisitListFile(const std::string& path, const RecordBatchVisitor& visit,
                             std::size_t* trailingBytes = nullptr);

}  // namespace tessival

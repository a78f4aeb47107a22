// The list file loader on any bytes: load, show every cell, save, and the saved file must hold
// exactly the whole records that were loaded, byte for byte (texts that are not UTF-8 included).
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "joblist/ItemColumns.h"
#include "joblist/ListFile.h"

using namespace tessival;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::ScratchFolder folder;
    const std::string loadedPath = folder.File("in.tsl"), savedPath = folder.File("out.tsl");
    fuzz::WriteFile(loadedPath, data, size);

    ItemList items;
    fuzz::Require(ReadListFile(loadedPath, items) == ListFileResult::Ok, "a readable file loads");
    fuzz::Require(items.Count() == size / kConvertItemSize, "every whole record loads");
    std::size_t shown = 0;
    items.ForEach([&](const ConvertItem& item) {
        for (const std::string& cell : ItemCells(item)) shown += cell.size();
    });
    fuzz::Require(shown <= items.Count() * kConvertItemSize, "cells come from their record");

    fuzz::Require(WriteListFile(savedPath, items) == ListFileResult::Ok, "the list saves");
    const std::string saved = fuzz::ReadFile(savedPath);
    const std::size_t whole = items.Count() * kConvertItemSize;
    fuzz::Require(saved.size() == whole && std::memcmp(saved.data(), data, whole) == 0,
                  "saving gives back the records as they were read");
    return 0;
}

#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "joblist/ItemList.h"
#include "platform/shell/Shell.h"
#include "ui/ItemListMirror.h"

namespace tessival {

// The main window's commands on the job list: adding files, the list file (save, load, new) and
// editing (delete, move, play). Each refuses to act while a conversion runs, so the list keeps its
// shape while the worker walks it.
class ListCommands {
public:
    ListCommands(ItemListMirror& mirror, ItemList& items, Shell& shell, const std::atomic<bool>& converting);

    void AddFromFile();
    // Paths dropped on the list: a list file loads, files are added as "From File" adds them,
    // folders add every media file below them (in name order). Refused during a run: false then.
    bool AddDropped(const std::vector<std::string>& paths);
    void AddFromCdRom();
    // Items of files chosen by any means, added as "From File" adds them: a cue sheet of a
    // one-file album adds its tracks, a disc image its audio tracks.
    void AddFileItems(const std::vector<ConvertItem>& items);
    void Save();
    void Load();
    // A file whose first record does not read as an item is loaded only when the user says so.
    void LoadFrom(const std::string& path);
    void NewList();
    void Delete();
    void MoveUp();
    void MoveDown();
    void Play();

private:
    // Each file as "From File" adds a file chosen alone; those that do not fit are named in a message.
    void AddSingleFiles(const std::vector<std::string>& paths);
    bool Refused() const { return converting_.load(); }

    ItemListMirror& mirror_;
    ItemList& items_;
    Shell& shell_;
    const std::atomic<bool>& converting_;
};

}  // namespace tessival

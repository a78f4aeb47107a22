#pragma once

#include <atomic>

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
    void AddFromCdRom();
    void Save();
    void Load();
    void NewList();
    void Delete();
    void MoveUp();
    void MoveDown();
    void Play();

private:
    bool Refused() const { return converting_.load(); }

    ItemListMirror& mirror_;
    ItemList& items_;
    Shell& shell_;
    const std::atomic<bool>& converting_;
};

}  // namespace tessival

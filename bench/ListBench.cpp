// How fast the main window handles a long list: loading 10,000 items from a list file, deleting
// the first item, and emptying the list. Runs the real window offscreen.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "platform/shell/ScriptedShell.h"
#include "res/ResourceIds.h"
#include "ui/MainDialog.h"

namespace {

constexpr int kItems = 10000;
constexpr int kRounds = 5;

// Milliseconds for the command and for the window to finish its resulting events (layout, paint).
double Measure(const std::function<void()>& command) {
    QElapsedTimer timer;
    timer.start();
    command();
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-34s median %8.2f ms   min %8.2f ms   max %8.2f ms\n", what, times[times.size() / 2], times.front(),
                times.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    const std::string folder = dir.path().toStdString() + "/";

    tessival::ItemList items;
    for (int i = 0; i < kItems; ++i)
        items.Append(tessival::MakeSingleFileItem("/music/album/track" + std::to_string(i) + ".mp3"));
    if (tessival::WriteListFile(folder + "long.tsl", items) != tessival::ListFileResult::Ok) return 1;

    tessival::ScriptedShell shell;
    tessival::MainDialog window(shell, dir.path());
    window.show();
    QApplication::processEvents();

    std::vector<double> loads, deletes, newLists;
    for (int round = 0; round < kRounds; ++round) {
        shell.openAnswers.push_back(tessival::ChosenFiles{folder, {"long.tsl"}});
        loads.push_back(Measure([&] { window.OnCommand(tessival::ID_LOAD); }));
        if (window.itemList.Count() != kItems) return 1;
        window.ListControl().SelectRow(0);
        QApplication::processEvents();
        deletes.push_back(Measure([&] { window.OnCommand(tessival::ID_DELETE); }));
        if (window.itemList.Count() != kItems - 1 || window.ListControl().SelectedRow() != 0) return 1;
        newLists.push_back(Measure([&] { window.OnCommand(tessival::ID_NEW_LIST); }));
    }
    std::printf("%d items, %d rounds\n", kItems, kRounds);
    Report("Load list of 10,000 items", loads);
    Report("Delete the first of 10,000 items", deletes);
    Report("New list from 9,999 items", newLists);
    return 0;
}

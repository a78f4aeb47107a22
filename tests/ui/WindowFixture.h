#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "joblist/ItemColumns.h"
#include "joblist/TextField.h"
#include "platform/shell/ScriptedShell.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "ui/CommandTarget.h"
#include "ui/MainDialog.h"

namespace tessival::test {

// A main window whose Start and Stop report to the test instead of running a conversion.
class RecordingMainDialog : public MainDialog {
public:
    using MainDialog::MainDialog;
    int runsBegun = 0;
    int stopsAsked = 0;

protected:
    void BeginConversionRun() override { ++runsBegun; }
    void StopConversionRun() override { ++stopsAsked; }
};

// The real main window, driven by command ids, with scripted desktop services.
class WindowTest : public ::testing::Test, protected UsesApp {
protected:
    void SetUp() override {
        shell.drives = &drives;
        SetAppMainWindow(&window);
        window.show();
    }
    void TearDown() override { SetAppMainWindow(nullptr); }

    // Adds files as "From File" does with the dialog answering these names.
    void AddFiles(const std::string& folder, const std::vector<std::string>& names) {
        shell.openAnswers.push_back(ChosenFiles{folder, names});
        window.OnCommand(ID_ADD_FROM_FILE);
    }
    void AddFile(const std::string& path) {
        const auto slash = path.rfind('/');
        AddFiles(path.substr(0, slash + 1), {path.substr(slash + 1)});
    }

    std::string Cell(int row, int column) { return window.ListControl().CellText(row, column).toStdString(); }
    std::string SourceNameAt(int index) { return ReadField(window.itemList.At(index)->sourceName); }
    std::vector<std::string> SourceNames() {
        std::vector<std::string> names;
        window.itemList.ForEach([&names](const ConvertItem& item) { names.push_back(ReadField(item.sourceName)); });
        return names;
    }

    // Row i shows item i, cell for cell.
    void ExpectRowsMatchItems() {
        ItemListView& list = window.ListControl();
        ASSERT_EQ(list.RowCount(), static_cast<int>(window.itemList.Count()));
        for (int row = 0; row < list.RowCount(); ++row) {
            const auto cells = ItemCells(*window.itemList.At(row));
            for (int column = 0; column < kItemColumnCount; ++column)
                EXPECT_EQ(Cell(row, column), cells[static_cast<std::size_t>(column)]) << "row " << row;
        }
    }

    FakeDrives drives;
    ScriptedShell shell;
    TempDir dir;
    RecordingMainDialog window{shell, QString::fromStdString(dir.Path())};
};

}  // namespace tessival::test

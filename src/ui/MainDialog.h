#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "engine/ConversionRun.h"
#include "engine/ConvertEngine.h"
#include "engine/ParallelRun.h"
#include "engine/RunFlags.h"
#include "joblist/ItemList.h"
#include "platform/shell/Shell.h"
#include "ui/ButtonTable.h"
#include "ui/CFlyBtn.h"
#include "ui/CommandTarget.h"
#include "ui/DisplayPanel.h"
#include "ui/ItemEditorWindow.h"
#include "ui/ItemListMirror.h"
#include "ui/ItemListView.h"
#include "ui/ListCommands.h"
#include "ui/MeasuredLoudness.h"
#include "engine/sources/SourceDurations.h"
#include "ui/WindowRunView.h"

class QMenu;

namespace tessival {

// The program's one top-level window: a frameless 640 x 480 skin at the screen's top-left corner
// with the image buttons and the list of conversion items. Every command, from a button, a menu or
// the list, goes through OnCommand.
class MainDialog : public QDialog, public CommandTarget {
    Q_OBJECT

public:
    // System menu commands, with the platform's numbers.
    static constexpr int kSysMove = 0xF010;
    static constexpr int kSysMinimize = 0xF020;
    static constexpr int kSysClose = 0xF060;
    // The display's menu sends this plus a count of 1 to kMostItemsAtOnce: runs convert that many at once.
    static constexpr int kItemsAtOnceCommand = 0x7F10;
    // The display's menu sends this to switch MP3 tags between ID3v2.4 and ID3v2.3.
    static constexpr int kId3v23Command = 0x7F20;
    // The display's menu sends these to switch the disc look-ups and test and copy, and to ask
    // for the drive's read offset.
    static constexpr int kDiscLookUpCommand = 0x7F21;
    static constexpr int kDiscTestAndCopyCommand = 0x7F22;
    static constexpr int kDriveReadOffsetCommand = 0x7F23;

    MainDialog(Shell& shell, QString helpFile, QWidget* parent = nullptr);
    ~MainDialog() override;

    void OnCommand(int id) override;
    // System menu commands: move, minimise, close, and the about item.
    void OnSysCommand(int id);

    // The list operations other windows call.
    void AddItem(const ConvertItem& item) { mirror_.AddItem(item); }
    // Items of files named outside the window (the command line), added as "From File" adds them.
    void AddFileItems(const std::vector<ConvertItem>& items) { listCommands_.AddFileItems(items); }
    void RefreshSelectedRow() { mirror_.RefreshSelectedRow(); }
    void ApplyToFollowing(const ConvertItem& source) { mirror_.ApplyToFollowing(source); }
    // The naming dialog for the selected item and the ones after it; their rows show the new names.
    void OpenNaming();

    ItemListView& ListControl() { return listControl_; }
    DisplayPanel& Display() { return displayPanel_; }
    // Shows the running item, or the list's summary when idle.
    void UpdateDisplay();
    // The button of a command id, or null.
    CFlyBtn* Button(int commandId);
    ItemEditorWindow* PropertiesDialog() { return propertiesDialog_.get(); }
    Shell& DesktopShell() { return shell_; }

    // Enter never closes the window.
    void accept() override {}
    // Escape and the system menu's Close end the window like Exit, and are refused the same way
    // during a run.
    void reject() override;

    // How many items a run converts side by side; kept in the settings for the next start.
    void SetItemsAtOnce(int count);
    int ItemsAtOnce() const { return itemsAtOnce_; }

    // Where the list is kept on every way out; empty (the default) keeps nothing.
    void SetLastListFile(std::string path) { lastListFile_ = std::move(path); }
    // Keeps the list now. Every way out of the window calls this, signal handlers included.
    bool KeepList();
    // Asks whether to bring back the list kept at the last exit, and adds its items if so.
    void OfferLastList();
    // Called on the window's thread when a run has ended, before its final message is shown.
    void SetRunEndedHandler(std::function<void()> handler) { runEnded_ = std::move(handler); }

    // Run state: the conversion run's own flags, shared with its worker.
    RunFlags runFlags;
    std::atomic<int>& elapsedSeconds = runFlags.elapsedSeconds;
    std::atomic<int>& currentIndex = runFlags.currentIndex;
    std::atomic<bool>& stopRequested = runFlags.stopRequested;
    std::atomic<bool>& converting = runFlags.converting;
    ItemList itemList;

protected:
    // Called by Start once every item is complete and no run is going on, and by Stop while a run
    // is going on.
    virtual void BeginConversionRun();
    virtual void StopConversionRun();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetUpWindow();
    void SetUpListControl();
    void SetUpButtons();
    void SetUpDisplay();
    DisplayPanel::IdleState ListSummary();
    void SetUpSystemMenu();
    void ShowDisplayMenu(const QPoint& screenPos);
    void AddDiscReadChoices(QMenu& menu);
    void AskDriveReadOffset();
    void ShowSystemMenu(const QPoint& screenPos);
    void SetUpKeyboard();
    void StartPointerMove();
    void EndPointerMove();

    void OnAdd();
    void OnAddFromCapturer();
    void OnEdit();
    void OnExit();
    void OnHelp();
    void OnStartConvert();
    void OnStopConvert();
    void ShowItemPopup(const QPoint& screenPos);
    void ShowItemPopupAtSelection();
    bool CheckAllItems() const;
    void OnRunFinished(int messageId);
    void OnItemMeasured(int index, const media::LoudnessReading& reading);
    void StartSideBySide();
    void ShowSideBySideProgress();

    Shell& shell_;
    QString helpFile_;  // the help page, by its full path
    QPixmap skin_;
    std::array<CFlyBtn, kButtonSlots> buttons_;
    std::unique_ptr<ItemEditorWindow> propertiesDialog_;
    ItemListView listControl_;
    ItemListMirror mirror_;
    ListCommands listCommands_;
    ConvertEngine engine_;
    MeasuredLoudness measured_;
    WindowRunView runView_;
    WindowRunView sideBySideView_;
    ConversionRun run_;
    // The last run of several items at once; null when the last run converted one at a time.
    std::unique_ptr<ParallelRun> sideBySide_;
    int itemsAtOnce_;
    QTimer progressTimer_;  // the one-second "Doing..." tick
    DisplayPanel displayPanel_;
    SourceDurations durations_;
    QTimer displayTimer_;
    // The window follows the pointer while the skin is dragged, or after the system menu's Move
    // until a click.
    enum class FollowPointer { No, WhilePressed, UntilClick };
    FollowPointer followPointer_ = FollowPointer::No;
    QPoint dragOffset_;
    std::string lastListFile_;
    std::function<void()> runEnded_;
};

}  // namespace tessival

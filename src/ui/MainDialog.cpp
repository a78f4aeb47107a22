#include "ui/MainDialog.h"

#include <QApplication>
#include <QCursor>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "joblist/ItemChecks.h"
#include "joblist/ItemFactory.h"
#include "joblist/SourceKind.h"
#include "joblist/TextField.h"
#include "platform/devices/RipSettings.h"
#include "platform/io/AtomicFile.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/AboutDialog.h"
#include "ui/Artwork.h"
#include "ui/CaptureDeviceDialog.h"
#include "ui/DialogUnits.h"
#include "ui/InvalidItemsDialog.h"
#include "ui/DiscReadSetting.h"
#include "ui/ItemPropertiesDialog.h"
#include "ui/Id3VersionSetting.h"
#include "ui/LoudnessMenu.h"
#include "ui/LoudnessSetting.h"
#include "ui/ItemsAtOnce.h"
#include "ui/KeyboardShortcuts.h"
#include "ui/LastList.h"
#include "ui/NamingDialog.h"
#include "ui/PopupMenu.h"
#include "ui/SkinStyle.h"

namespace tessival {
namespace {

constexpr QRect kWindowRect(0, 0, 640, 480);
constexpr QRect kListRect(34, 88, 570, 307);
// The glass of the display between the lower buttons.
constexpr QRect kDisplayRect(263, 411, 198, 40);
// The display follows a run five times a second; idle, it sums the list up once a second.
constexpr int kDisplayRunMs = 200;
constexpr int kIdleEveryTicks = 5;

}  // namespace

MainDialog::MainDialog(Shell& shell, QString helpFile, QWidget* parent)
    : QDialog(parent),
      shell_(shell),
      helpFile_(std::move(helpFile)),
      listControl_(this),
      mirror_(itemList, listControl_),
      listCommands_(mirror_, itemList, shell_, converting),
      engine_(shell_),
      runView_(mirror_, listControl_, shell_, this, [this](int messageId) { OnRunFinished(messageId); }),
      sideBySideView_(mirror_, listControl_, shell_, this,
                      [this](int messageId) {
                          // Its workers keep their own flags: the window's says the run is over.
                          converting = false;
                          OnRunFinished(messageId);
                      }),
      run_(itemList, engine_, runView_, runFlags),
      itemsAtOnce_(LoadItemsAtOnce()),
      displayPanel_(this) {
    ApplyKeptId3Version();
    ApplyKeptDiscReadSettings();
    ApplyKeptLoudnessChoice();
    SetUpWindow();
    SetUpSystemMenu();
    SetUpListControl();
    SetUpButtons();
    SetUpDisplay();
    SetUpKeyboard();
    propertiesDialog_ = std::make_unique<ItemPropertiesDialog>(shell_, this, &measured_);
    for (WindowRunView* view : {&runView_, &sideBySideView_})
        view->SetLoudnessHandler([this](int index, const media::LoudnessReading& reading) { OnItemMeasured(index, reading); });
    propertiesDialog_->SetApplyToFollowingHandler([this](const ConvertItem& source) { ApplyToFollowing(source); });
    propertiesDialog_->SetItemChangedHandler([this](const ConvertItem& item) { mirror_.RefreshRowOf(item); });
    propertiesDialog_->SetNamingHandler([this] { OpenNaming(); });
    progressTimer_.setInterval(1000);
    connect(&progressTimer_, &QTimer::timeout, this, [this] { sideBySide_ ? sideBySide_->Tick() : run_.Tick(); });
    mirror_.SetEditor(propertiesDialog_.get());
    // A logout ends the process without a close: the list is kept as the session manager asks.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { KeepList(); });
}

MainDialog::~MainDialog() {
    if (AppMainWindow() == this) SetAppMainWindow(nullptr);
}

void MainDialog::SetUpWindow() {
    // A captionless window that still has a task-bar button and can be minimised.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setWindowIcon(AppIcon());
    setWindowTitle(QStringLiteral("Kestrane Tessival"));
    setFont(DialogFont());
    skin_ = SkinBitmap();
    setFixedSize(kWindowRect.size());
    move(kWindowRect.topLeft());
    // The skin covers every pixel, so nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MainDialog::SetUpSystemMenu() {
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(shortcut, &QShortcut::activated, this, [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
}

void MainDialog::ShowSystemMenu(const QPoint& screenPos) {
    std::vector<MenuEntry> entries = {{"&Move", kSysMove}, {"Mi&nimize", kSysMinimize}, {"&Close", kSysClose}};
    const std::string about = LoadString(IDS_ABOUTBOX);
    if (!about.empty()) {
        entries.push_back({"", 0});
        entries.push_back({about, IDM_ABOUTBOX});
    }
    PopupMenu menu(entries, this);
    if (const int id = menu.Track(screenPos)) OnSysCommand(id);
}

// The display is where a run shows; its menu says how many items a run converts at once, which
// ID3v2 version MP3 tags get, what conversions do about loudness and how discs are read.
void MainDialog::ShowDisplayMenu(const QPoint& screenPos) {
    PopupMenu menu(std::span<const MenuEntry>{}, this);
    QMenu* atOnce = menu.addMenu(QString::fromStdString(LoadString(IDS_ITEMS_AT_ONCE)));
    for (int count = 1; count <= kMostItemsAtOnce; ++count) {
        QAction* choice = atOnce->addAction(QString::number(count));
        choice->setData(kItemsAtOnceCommand + count);
        choice->setCheckable(true);
        choice->setChecked(count == itemsAtOnce_);
    }
    QAction* id3v23 = menu.addAction(QString::fromStdString(LoadString(IDS_ID3V23_TAGS)));
    id3v23->setData(kId3v23Command);
    id3v23->setCheckable(true);
    id3v23->setChecked(Id3Version() == 3);
    LoudnessMenu::AddChoices(menu);
    AddDiscReadChoices(menu);
    if (const int id = menu.Track(screenPos)) OnCommand(id);
}

void MainDialog::AddDiscReadChoices(QMenu& menu) {
    const RipSettings settings = RipSettings::Current();
    menu.addSeparator();
    const auto addSwitch = [&menu](int textId, int command, bool on) {
        QAction* choice = menu.addAction(QString::fromStdString(LoadString(textId)));
        choice->setData(command);
        choice->setCheckable(true);
        choice->setChecked(on);
    };
    addSwitch(IDS_DISC_LOOK_UP, kDiscLookUpCommand, settings.lookUp);
    addSwitch(IDS_DISC_TEST_AND_COPY, kDiscTestAndCopyCommand, settings.testAndCopy);
    menu.addAction(QString::fromStdString(LoadStringWith(IDS_DRIVE_READ_OFFSET, std::to_string(settings.readOffset))))
        ->setData(kDriveReadOffsetCommand);
}

void MainDialog::AskDriveReadOffset() {
    bool ok = false;
    const int offset = QInputDialog::getInt(this, QString::fromStdString(LoadString(IDS_DRIVE_READ_OFFSET_TITLE)),
                                            QString::fromStdString(LoadString(IDS_DRIVE_READ_OFFSET_PROMPT)),
                                            RipSettings::Current().readOffset, -RipSettings::kMostReadOffset,
                                            RipSettings::kMostReadOffset, 1, &ok);
    if (ok) SetDriveReadOffset(offset);
}

void MainDialog::SetUpListControl() {
    const ImageList icons = ListIcons();
    listControl_.SetRowIcon(QIcon(icons.Frame(0)));
    listControl_.setIconSize(icons.FrameSize());
    listControl_.setGeometry(kListRect);
    listControl_.setAccessibleName(QString::fromStdString(LoadString(IDS_LIST_NAME)));
    ApplySkinStyle(listControl_);
    connect(&listControl_, &QTreeWidget::itemSelectionChanged, this, [this] { mirror_.OnSelectionChange(); });
    connect(&listControl_, &ItemListView::rowDoubleClicked, this, [this] { OnCommand(ID_EDIT); });
    connect(&listControl_, &ItemListView::rightClicked, this, [this](const QPoint& pos) { ShowItemPopup(pos); });
    connect(&listControl_, &ItemListView::pathsDropped, this, [this](const std::vector<std::string>& paths) {
        if (!listCommands_.AddDropped(paths))
            displayPanel_.ShowNote(QString::fromStdString(LoadString(IDS_DROP_DURING_RUN)));
    });
}

void MainDialog::SetUpButtons() {
    for (const ButtonEntry& entry : ButtonTable()) {
        const QRect rect(entry.position, QSize(kButtonSize, kButtonSize));
        const QString tip = TipWithShortcut(QString::fromStdString(LoadString(entry.tipStringId)), entry.commandId);
        Button(entry.commandId)
            ->Create(tip, rect, this, ButtonImages(entry.bitmapId), false, static_cast<unsigned>(entry.commandId));
    }
}

void MainDialog::SetUpKeyboard() {
    for (const CommandShortcut& key : CommandShortcuts()) {
        auto* shortcut = new QShortcut(QKeySequence(key.key), this);
        connect(shortcut, &QShortcut::activated, this, [this, id = key.commandId] { OnCommand(id); });
    }
    // Enter on a row edits it, as a double-click does.
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(enter), &listControl_, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] { OnCommand(ID_EDIT); });
    }
    // Tab follows the layout: the upper buttons, the list, the lower buttons, each left to right.
    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* next) {
        if (previous) setTabOrder(previous, next);
        previous = next;
    };
    for (const ButtonEntry& entry : ButtonTable()) {
        if (entry.position.y() > kListRect.top()) break;
        chain(Button(entry.commandId));
    }
    chain(&listControl_);
    for (const ButtonEntry& entry : ButtonTable())
        if (entry.position.y() > kListRect.top()) chain(Button(entry.commandId));
    listControl_.setFocus();
}

void MainDialog::SetUpDisplay() {
    displayPanel_.setGeometry(kDisplayRect);
    displayPanel_.setAccessibleName(QString::fromStdString(LoadString(IDS_DISPLAY_NAME)));
    displayPanel_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&displayPanel_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowDisplayMenu(displayPanel_.mapToGlobal(pos)); });
    displayTimer_.setInterval(kDisplayRunMs);
    connect(&displayTimer_, &QTimer::timeout, this, [this, ticks = 0]() mutable {
        if (converting || ++ticks % kIdleEveryTicks == 0) UpdateDisplay();
    });
    displayTimer_.start();
    UpdateDisplay();
}

void MainDialog::UpdateDisplay() {
    if (converting && sideBySide_) {
        ShowSideBySideProgress();
        return;
    }
    const int index = currentIndex;
    const ConvertItem* item = converting && index >= 0 ? itemList.At(index) : nullptr;
    if (!item) {
        displayPanel_.ShowIdle(ListSummary());
        return;
    }
    const ProgressSnapshot progress = engine_.Progress().Read();
    DisplayPanel::RunState state;
    state.name = QString::fromUtf8(ReadField(item->sourceName));
    // The row's "Doing...N" names the seconds before the tick that wrote it; the display counts the same.
    state.elapsedSeconds = std::max(0, elapsedSeconds - 1);
    state.recording = SourceKindOf(*item) == SourceKind::Capture;
    state.positionSeconds = progress.positionSeconds;
    state.durationSeconds = progress.durationSeconds;
    state.peaks = progress.peaks;
    state.momentaryLufs = progress.momentaryLufs;
    displayPanel_.ShowRun(state);
}

void MainDialog::ShowSideBySideProgress() {
    const BatchProgress progress = sideBySide_->Progress();
    DisplayPanel::BatchState state;
    state.itemCount = progress.total;
    double done = progress.finished;
    QStringList places;
    for (const RunningItem& running : progress.running) {
        if (const ConvertItem* item = itemList.At(running.index))
            state.names << QString::fromUtf8(ReadField(item->sourceName));
        places << QString::number(running.ordinal);
        if (running.media.durationSeconds > 0 && running.media.positionSeconds >= 0)
            done += std::clamp(running.media.positionSeconds / running.media.durationSeconds, 0.0, 1.0);
    }
    state.places = places.join(QStringLiteral(", "));
    state.fraction = progress.total > 0 ? done / progress.total : 0;
    displayPanel_.ShowBatch(state);
}

DisplayPanel::IdleState MainDialog::ListSummary() {
    DisplayPanel::IdleState summary;
    itemList.ForEach([&](const ConvertItem& item) {
        ++summary.itemCount;
        const SourceDurations::Answer length = durations_.Lookup(ReadField(item.sourcePath));
        if (length.state == SourceDurations::State::Known)
            summary.totalSeconds += length.seconds;
        else
            ++summary.unknownLengths;
    });
    return summary;
}

CFlyBtn* MainDialog::Button(int commandId) {
    const int slot = commandId - kFirstButtonCommand;
    if (slot < 0 || slot >= kButtonSlots) return nullptr;
    return &buttons_[static_cast<std::size_t>(slot)];
}

void MainDialog::OnCommand(int id) {
    switch (id) {
        case ID_ADD: OnAdd(); break;
        case ID_DELETE: listCommands_.Delete(); break;
        case ID_NEW_LIST: listCommands_.NewList(); break;
        case ID_SAVE: listCommands_.Save(); break;
        case ID_LOAD: listCommands_.Load(); break;
        case ID_EDIT: OnEdit(); break;
        case ID_MINIMIZE: showMinimized(); break;
        case ID_EXIT: OnExit(); break;
        case ID_MOVE_UP: listCommands_.MoveUp(); break;
        case ID_MOVE_DOWN: listCommands_.MoveDown(); break;
        case ID_PLAY: listCommands_.Play(); break;
        case ID_HELP: OnHelp(); break;
        case ID_START: OnStartConvert(); break;
        case ID_STOP: OnStopConvert(); break;
        case ID_ADD_FROM_FILE: listCommands_.AddFromFile(); break;
        case ID_ADD_FROM_CDROM: listCommands_.AddFromCdRom(); break;
        case ID_ADD_FROM_CAPTURER: OnAddFromCapturer(); break;
        case kShowItemMenuCommand: ShowItemPopupAtSelection(); break;
        default:
            if (id > kItemsAtOnceCommand && id <= kItemsAtOnceCommand + kMostItemsAtOnce)
                SetItemsAtOnce(id - kItemsAtOnceCommand);
            if (id == kId3v23Command) SetId3Version(Id3Version() == 3 ? 4 : 3);
            if (id == kDiscLookUpCommand) SetDiscLookUp(!RipSettings::Current().lookUp);
            if (id == kDiscTestAndCopyCommand) SetDiscTestAndCopy(!RipSettings::Current().testAndCopy);
            if (id == kDriveReadOffsetCommand) AskDriveReadOffset();
            LoudnessMenu::OnCommand(id, this);
            break;  // IDOK (Enter) included: it never closes the window
    }
}

void MainDialog::OnSysCommand(int id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        OnHelp();
        return;
    }
    switch (id) {
        case kSysMove: StartPointerMove(); break;
        case kSysMinimize: showMinimized(); break;
        case kSysClose: reject(); break;
        default: break;
    }
}

void MainDialog::OnAdd() {
    if (converting) return;
    const CFlyBtn* add = Button(ID_ADD);
    const QRect rect = add->geometry();
    PopupMenu menu(IDR_POPUP_MENUS, 0, this);
    // Directly below the button's lower-left corner.
    if (const int id = menu.Track(mapToGlobal(QPoint(rect.left(), rect.top() + rect.height())))) OnCommand(id);
}

void MainDialog::ShowItemPopup(const QPoint& screenPos) {
    PopupMenu menu(IDR_POPUP_MENUS, 1, this);
    if (const int id = menu.Track(screenPos)) OnCommand(id);
}

void MainDialog::ShowItemPopupAtSelection() {
    // From the keyboard: below the selected row's start, or at the list's corner without one.
    const int row = listControl_.SelectedRow();
    const QRect cell = row >= 0 ? listControl_.visualItemRect(listControl_.topLevelItem(row)) : QRect();
    const QPoint at = cell.isValid() ? cell.bottomLeft() : QPoint(0, 0);
    ShowItemPopup(listControl_.viewport()->mapToGlobal(at));
}

void MainDialog::OnEdit() {
    // Activated, so that typing and Escape go to it rather than to the list and the main window.
    if (propertiesDialog_ && listControl_.SelectedRow() >= 0) propertiesDialog_->Present();
}

void MainDialog::OpenNaming() {
    const int first = mirror_.SelectedRow();
    if (first < 0 || run_.Converting()) return;
    QSettings settings;
    NamingDialog naming(itemList, first, settings, this);
    if (naming.exec() != QDialog::Accepted) return;
    for (int row = first; row < static_cast<int>(itemList.Count()); ++row) mirror_.RefreshRow(row);
    mirror_.OnSelectionChange();  // the properties window shows the new name
}

void MainDialog::OnExit() {
    if (converting) {
        shell_.MessageBox(LoadString(IDS_STOP_BEFORE_EXIT), MessageButtons::Ok, MessageKind::Warning);
        return;
    }
    KeepList();
    mirror_.SetEditor(nullptr);
    propertiesDialog_.reset();
    done(IDOK);
}

void MainDialog::reject() { OnExit(); }

bool MainDialog::KeepList() { return lastListFile_.empty() || KeepLastList(itemList, lastListFile_); }

void MainDialog::OfferLastList() {
    ItemList kept;
    if (lastListFile_.empty() || !ReadLastList(kept, lastListFile_)) return;
    if (shell_.MessageBox(LoadString(IDS_RESTORE_LAST_LIST), MessageButtons::OkCancel) != IDOK) return;
    kept.ForEach([this](const ConvertItem& item) { AddItem(item); });
}

void MainDialog::OnAddFromCapturer() {
    CaptureDeviceDialog dialog(shell_, this);
    // With no device there is nothing to record from: an item would only fail.
    if (dialog.exec() != QDialog::Accepted || dialog.DeviceIndex() < 0) return;
    AddItem(MakeCaptureItem(dialog.DeviceName(), dialog.DeviceIndex(), dialog.PortIndex()));
}

void MainDialog::OnHelp() {
    AboutDialog about(shell_, helpFile_, this);
    about.exec();
}

bool MainDialog::CheckAllItems() const {
    if (listControl_.RowCount() == 0) return false;
    const DriveTypes& drives = shell_.Drives();
    for (int row = 0; row < listControl_.RowCount(); ++row) {
        const ConvertItem* item = itemList.At(row);
        if (!item || !IsItemComplete(*item, drives)) return false;
    }
    return true;
}

void MainDialog::OnStartConvert() {
    if (converting) return;
    if (!CheckAllItems()) {
        InvalidItemsDialog invalid(itemList, shell_.Drives(), this);
        invalid.exec();
        return;
    }
    BeginConversionRun();
}

void MainDialog::OnStopConvert() {
    if (converting) StopConversionRun();
}

void MainDialog::BeginConversionRun() {
    // The run reads the records and hands its results back here: the properties window only shows
    // them meanwhile.
    if (propertiesDialog_) propertiesDialog_->SetReadOnly(true);
    sideBySide_.reset();  // the last such run's workers have all ended
    if (itemsAtOnce_ > 1 && itemList.Count() > 1) {
        StartSideBySide();
    } else if (!run_.Start()) {
        if (propertiesDialog_) propertiesDialog_->SetReadOnly(false);
        return;
    }
    progressTimer_.start();
}

void MainDialog::StartSideBySide() {
    converting = true;
    const int workers = std::min(itemsAtOnce_, static_cast<int>(itemList.Count()));
    sideBySide_ = std::make_unique<ParallelRun>(itemList, ItemQueue::AllPositions(itemList.Count()), workers, shell_,
                                                sideBySideView_);
    sideBySide_->Start();
}

void MainDialog::StopConversionRun() {
    progressTimer_.stop();
    if (sideBySide_)
        sideBySide_->Stop();
    else
        run_.Stop();
}

void MainDialog::SetItemsAtOnce(int count) {
    itemsAtOnce_ = BoundItemsAtOnce(count);
    SaveItemsAtOnce(itemsAtOnce_);
}

void MainDialog::OnRunFinished(int messageId) {
    if (runEnded_) runEnded_();
    // A new run may have begun before this news arrived; it keeps its timer.
    if (!converting) {
        progressTimer_.stop();
        if (propertiesDialog_) {
            propertiesDialog_->SetReadOnly(false);
            propertiesDialog_->SetItem(propertiesDialog_->Item());  // shows the statuses the run wrote
        }
    }
    // What the run found of conversions killed before it, kept beside their destinations.
    std::string message = LoadString(messageId);
    for (const std::string& path : TakeRecoveredFiles()) message += "\n\n" + LoadStringWith(IDS_RECOVERED_OUTPUT, path);
    shell_.MessageBox(message);
}

void MainDialog::OnItemMeasured(int index, const media::LoudnessReading& reading) {
    const ConvertItem* item = itemList.At(index);
    if (!item) return;
    measured_.Record(*item, reading);
    if (propertiesDialog_ && propertiesDialog_->Item() == item) propertiesDialog_->SetItem(propertiesDialog_->Item());
}

void MainDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, skin_);
}

void MainDialog::StartPointerMove() {
    // As the keyboard's Move does: the window follows the pointer until a click puts it down. A
    // window manager's own move needs a pressed button, which a menu command does not have.
    followPointer_ = FollowPointer::UntilClick;
    dragOffset_ = QCursor::pos() - pos();
    setMouseTracking(true);
    grabMouse(Qt::SizeAllCursor);
}

void MainDialog::EndPointerMove() {
    if (followPointer_ == FollowPointer::UntilClick) {
        releaseMouse();
        setMouseTracking(false);
    }
    followPointer_ = FollowPointer::No;
}

void MainDialog::mousePressEvent(QMouseEvent* event) {
    if (followPointer_ == FollowPointer::UntilClick) {
        EndPointerMove();
        return;
    }
    // The skin has no title bar: a right-click on it opens the menu a title bar would offer.
    if (event->button() == Qt::RightButton) {
        ShowSystemMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    // The window manager moves the window when it can; otherwise follow the pointer ourselves.
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    followPointer_ = FollowPointer::WhilePressed;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void MainDialog::mouseMoveEvent(QMouseEvent* event) {
    if (followPointer_ == FollowPointer::UntilClick ||
        (followPointer_ == FollowPointer::WhilePressed && (event->buttons() & Qt::LeftButton)))
        move(event->globalPosition().toPoint() - dragOffset_);
}

void MainDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && followPointer_ == FollowPointer::WhilePressed)
        followPointer_ = FollowPointer::No;
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    if (followPointer_ == FollowPointer::UntilClick &&
        (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        EndPointerMove();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tessival

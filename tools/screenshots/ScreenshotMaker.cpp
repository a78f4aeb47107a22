#include "ScreenshotMaker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/QualityListing.h"
#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/AboutDialog.h"
#include "ui/CaptureDeviceDialog.h"
#include "ui/InvalidItemsDialog.h"
#include "ui/QualityDialog.h"
#include "ui/SuggestionDialog.h"

namespace tessival {
namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// 2 channels, 128 kbps, 44100 Hz: a common choice of the encoder's list.
QualityInfo CommonQuality(Shell& shell, const std::string& type) {
    for (const QualityInfo& quality : ListEncoderQualities(shell, QualityEncoderName(shell, type)))
        if (quality.nChannels == 2 && quality.nSamplesPerSec == 44100 && quality.nAvgBytesPerSec == 16000)
            return quality;
    return QualityInfo{};
}

}  // namespace

ScreenshotMaker::ScreenshotMaker(QString outputFolder, std::string workFolder)
    : output_(std::move(outputFolder)), work_(std::move(workFolder)), window_(shell_, QString()) {}

bool ScreenshotMaker::MakeAll() {
    return ShotWindowAndRun() && ShotDialogs() && ShotKeyboardFocus() && ShotMessageBox() && ShotCaptureDialog() &&
           ShotDiscTracks();
}

bool ScreenshotMaker::MakeTones(const std::vector<std::string>& names) {
    // The first one is long enough to be caught converting; the others make the list's total.
    int frequency = 330;
    int seconds = 600;
    for (const std::string& name : names) {
        const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=" +
                                    std::to_string(frequency) + ":duration=" + std::to_string(seconds) +
                                    "' -af 'volume=0.6,tremolo=f=3:d=0.7' -ac 2 " + Quoted(work_ + "/" + name);
        frequency += 110;
        seconds = 95;
        if (std::system(command.c_str()) != 0) return false;
    }
    return true;
}

void ScreenshotMaker::AddItems(const std::vector<std::string>& names, const std::string& type) {
    const QualityInfo quality = CommonQuality(shell_, type);
    for (const std::string& name : names) {
        ConvertItem item = MakeSingleFileItem(work_ + "/" + name);
        WriteField(item.destType, type);
        WriteField(item.destName, ReadField(item.destName) + ".mp3");
        WriteField(item.destPath, work_ + "/out/");
        item.quality = quality;
        window_.AddItem(item);
    }
}

bool ScreenshotMaker::Save(QWidget& widget, const QString& name) {
    QCoreApplication::processEvents();
    if (widget.grab().save(output_ + QLatin1Char('/') + name)) return true;
    std::fprintf(stderr, "tessival-screenshots: cannot write %s\n", qPrintable(name));
    return false;
}

bool ScreenshotMaker::WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

bool ScreenshotMaker::ShotWindowAndRun() {
    const std::vector<std::string> names = {"Morning Raga.wav", "Harbour Bells.wav", "Night Train.wav",
                                            "Field Recording.wav"};
    std::filesystem::create_directories(work_ + "/out");
    if (!MakeTones(names)) return false;
    AddItems(names, "MP3");
    window_.show();
    window_.ListControl().SelectRow(1);
    const auto summed = [this] {
        window_.UpdateDisplay();
        return window_.Display().Detail().startsWith(QStringLiteral("Total")) &&
               !window_.Display().Detail().contains(QStringLiteral("unknown"));
    };
    if (!WaitFor(summed, 20000)) return false;
    if (!Save(window_, QStringLiteral("screenshot.png"))) return false;

    window_.OnCommand(ID_START);
    if (!WaitFor([this] { return window_.ListControl().CellText(0, 5) == QStringLiteral("Doing...3"); }, 60000))
        return false;
    QThread::msleep(300);
    window_.UpdateDisplay();
    if (!Save(window_, QStringLiteral("run.png"))) return false;
    window_.OnCommand(ID_STOP);
    if (!WaitFor([this] { return !window_.converting; }, 60000)) return false;
    window_.ListControl().SelectRow(1);
    window_.OnCommand(ID_EDIT);
    return Save(*window_.PropertiesDialog(), QStringLiteral("properties.png"));
}

bool ScreenshotMaker::ShotDialogs() {
    window_.PropertiesDialog()->hide();
    QualityDialog quality(shell_, "MP3", QualityInfo{}, nullptr, &window_);
    if (!quality.Initialize()) return false;
    quality.show();
    if (!Save(quality, QStringLiteral("quality.png"))) return false;
    quality.hide();
    SuggestionDialog suggestion(&window_);
    suggestion.show();
    if (!Save(suggestion, QStringLiteral("suggestion.png"))) return false;
    suggestion.hide();
    ItemList incomplete;
    incomplete.Append(MakeSingleFileItem(work_ + "/Night Train.wav"));
    InvalidItemsDialog invalid(incomplete, shell_.Drives(), &window_);
    invalid.show();
    if (!Save(invalid, QStringLiteral("invalid-items.png"))) return false;
    invalid.hide();
    AboutDialog about(shell_, QString(), &window_);
    about.show();
    return Save(about, QStringLiteral("about.png"));
}

bool ScreenshotMaker::ShotKeyboardFocus() {
    // Tabbed to the Start button, as a keyboard user gets there.
    window_.activateWindow();
    window_.UpdateDisplay();
    window_.Button(ID_START)->setFocus(Qt::TabFocusReason);
    return Save(window_, QStringLiteral("keyboard-focus.png"));
}

bool ScreenshotMaker::ShotMessageBox() {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tessival"), QString::fromStdString(LoadString(IDS_LIST_READ_FAILED)),
                    QMessageBox::Ok, &window_);
    box.show();
    return Save(box, QStringLiteral("message-box.png"));
}

bool ScreenshotMaker::ShotCaptureDialog() {
    // The devices of whatever sound server the environment points at; without one, the hint
    // goes to a picture of its own and the devices' picture stays as it was.
    CaptureDeviceDialog dialog(shell_, &window_);
    if (dialog.Ports().count() > 0) dialog.Ports().item(0)->setSelected(true);
    dialog.show();
    return Save(dialog, dialog.Devices().count() > 0 ? QStringLiteral("capture-dialog.png")
                                                     : QStringLiteral("capture-no-server.png"));
}

bool ScreenshotMaker::MakeDiscImage(const std::string& cue) {
    // Three audio tracks of CD audio in one BINARY file, as a ripper's image holds them.
    const std::string bin = cue.substr(0, cue.size() - 4) + ".bin";
    const std::string command = "sox -n -r 44100 -c 2 -b 16 -e signed-integer -L -t raw " + Quoted(bin) +
                                " synth 214 sine 330 sine 440 tremolo 3 70";
    if (std::system(command.c_str()) != 0) return false;
    const std::string sheet = "FILE \"" + std::filesystem::path(bin).filename().string() + "\" BINARY\n"
                              "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                              "  TRACK 02 AUDIO\n    INDEX 01 01:32:00\n"
                              "  TRACK 03 AUDIO\n    INDEX 01 02:41:30\n";
    std::ofstream file(cue);
    file << sheet;
    return static_cast<bool>(file);
}

bool ScreenshotMaker::ShotDiscTracks() {
    const std::string cue = work_ + "/Live at the Harbour.cue";
    if (!MakeDiscImage(cue)) return false;
    window_.OnCommand(ID_NEW_LIST);
    shell_.openAnswers.push_back(ChosenFiles{work_ + "/", {"Live at the Harbour.cue"}});
    window_.OnCommand(ID_ADD_FROM_FILE);
    if (window_.itemList.Empty()) return false;
    window_.ListControl().SelectRow(0);
    window_.ListControl().setFocus();
    const auto summed = [this] {
        window_.UpdateDisplay();
        return window_.Display().Detail().startsWith(QStringLiteral("Total"));
    };
    if (!WaitFor(summed, 20000)) return false;
    return Save(window_, QStringLiteral("cd-tracks.png"));
}

}  // namespace tessival

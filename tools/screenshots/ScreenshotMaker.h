#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/shell/ScriptedShell.h"
#include "ui/MainDialog.h"

namespace tessival {

// Shows the real window with a few converted demo tones and saves pictures of it and of its
// dialogs into a folder.
class ScreenshotMaker {
public:
    ScreenshotMaker(QString outputFolder, std::string workFolder);

    // False, with a message on standard error, when a picture could not be made.
    bool MakeAll();

private:
    bool MakeTones(const std::vector<std::string>& names);
    void AddItems(const std::vector<std::string>& names, const std::string& type);
    bool Save(QWidget& widget, const QString& name);
    bool WaitFor(const std::function<bool()>& done, int timeoutMs);
    bool ShotWindowAndRun();
    bool ShotDialogs();
    bool ShotKeyboardFocus();
    bool ShotMessageBox();
    bool ShotCaptureDialog();
    bool ShotDiscTracks();
    bool MakeDiscImage(const std::string& cue);

    QString output_;
    std::string work_;
    ScriptedShell shell_;
    MainDialog window_;
};

}  // namespace tessival

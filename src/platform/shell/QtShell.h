#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

#include "platform/shell/Shell.h"

namespace tessival {

// The desktop services of a Qt desktop: message boxes and file dialogs from Qt, opening through
// the desktop's default handlers, drives from the mount table.
class QtShell : public Shell {
public:
    explicit QtShell(QWidget* owner = nullptr) : owner_(owner) {}

    // The window that owns message boxes and dialogs (none before the main window exists).
    void SetOwner(QWidget* owner) { owner_ = owner; }

    int MessageBox(const std::string& text, MessageButtons buttons = MessageButtons::Ok) override;
    int MessageBox(const std::string& text, MessageButtons buttons, MessageKind kind) override;
    std::optional<ChosenFiles> GetOpenFileNames(const std::string& filter, bool multiSelect) override;
    std::optional<std::string> GetSaveFileName(const std::string& filter) override;
    std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& initialFolder) override;
    bool ShellOpen(const std::string& target) override;
    const DriveTypes& Drives() const override;
    std::vector<std::string> CdRomDrives() const override;
    std::vector<DiscEntry> FindFiles(const std::string& folder, const std::string& pattern) const override;

    // "desc|pattern;pattern|desc|pattern||..." as a Qt name filter list "desc (pattern pattern);;...".
    static QString ToQtFilter(const std::string& filter);
    // Paths chosen in one folder, split into that folder (ending in "/") and the names.
    static ChosenFiles SplitChosen(const QStringList& paths);
    // A web address as it stands; anything else as a local file, relative to the current directory.
    static QUrl TargetUrl(const std::string& target);
    static QMessageBox::Icon IconOf(MessageKind kind);

private:
    QPointer<QWidget> owner_;
};

}  // namespace tessival

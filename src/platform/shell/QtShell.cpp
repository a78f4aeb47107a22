#include "platform/shell/QtShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "platform/shell/DiscSearch.h"

namespace tessival {
namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QString QtShell::ToQtFilter(const std::string& filter) {
    // "||" ends the filter; whatever follows it is not part of it.
    const QString body = FromUtf8(filter.substr(0, filter.find("||")));
    const QStringList parts = body.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

ChosenFiles QtShell::SplitChosen(const QStringList& paths) {
    ChosenFiles chosen;
    if (paths.isEmpty()) return chosen;
    chosen.folder = QFileInfo(paths.front()).absolutePath().toStdString();
    if (chosen.folder.empty() || chosen.folder.back() != '/') chosen.folder.push_back('/');
    for (const QString& path : paths) chosen.names.push_back(QFileInfo(path).fileName().toStdString());
    return chosen;
}

QUrl QtShell::TargetUrl(const std::string& target) {
    const QString text = FromUtf8(target);
    if (text.contains(QStringLiteral("://"))) return QUrl(text);
    return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
}

int QtShell::MessageBox(const std::string& text, MessageButtons buttons) {
    return MessageBox(text, buttons, MessageKindOf(text, buttons));
}

QMessageBox::Icon QtShell::IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning: return QMessageBox::Warning;
        case MessageKind::Error: return QMessageBox::Critical;
        case MessageKind::Question: return QMessageBox::Question;
        case MessageKind::Information: break;
    }
    return QMessageBox::Information;
}

int QtShell::MessageBox(const std::string& text, MessageButtons buttons, MessageKind kind) {
    const auto choice = buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
    QMessageBox box(IconOf(kind), QStringLiteral("Tessival"), FromUtf8(text), choice, owner_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? kIdOk : kIdCancel;
}

std::optional<ChosenFiles> QtShell::GetOpenFileNames(const std::string& filter, bool multiSelect) {
    QStringList paths;
    if (multiSelect) {
        paths = QFileDialog::getOpenFileNames(owner_, QString(), QString(), ToQtFilter(filter));
    } else {
        const QString path = QFileDialog::getOpenFileName(owner_, QString(), QString(), ToQtFilter(filter));
        if (!path.isEmpty()) paths << path;
    }
    if (paths.isEmpty()) return std::nullopt;
    return SplitChosen(paths);
}

std::optional<std::string> QtShell::GetSaveFileName(const std::string& filter) {
    // The program itself decides about the extension, and overwriting is not asked about.
    const QString path = QFileDialog::getSaveFileName(owner_, QString(), QString(), ToQtFilter(filter), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtShell::BrowseForFolder(const std::string& title, const std::string& initialFolder) {
    const QString folder = QFileDialog::getExistingDirectory(owner_, FromUtf8(title), FromUtf8(initialFolder));
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}

bool QtShell::ShellOpen(const std::string& target) {
    if (target.empty()) return false;
    return QDesktopServices::openUrl(TargetUrl(target));
}

const DriveTypes& QtShell::Drives() const { return SystemDriveTypes(); }

std::vector<std::string> QtShell::CdRomDrives() const { return CdRomDriveNames(SystemCdDrives()); }

std::vector<DiscEntry> QtShell::FindFiles(const std::string& folder, const std::string& pattern) const {
    return FindDiscFiles(SystemCdDrives(), folder, pattern);
}

}  // namespace tessival

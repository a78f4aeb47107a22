#include "app/ConverterApp.h"

#include <unistd.h>

#include <QDir>
#include <QStyleFactory>
#include <cstdio>

#include "app/CommandLineItems.h"
#include "app/HelpFilePath.h"
#include "app/ProbeEnvironment.h"
#include "app/StopSignals.h"
#include "platform/shell/QtShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/CommandTarget.h"
#include "ui/LastList.h"
#include "ui/MainDialog.h"
#include "ui/SkinStyle.h"

namespace tessival {

ConverterApp::ConverterApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tessival"));
    setOrganizationName(QStringLiteral("Kestrane"));
    setDesktopFileName(QStringLiteral("com.kestrane.tessival"));
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) setStyle(fusion);
    ApplyAppSkin(*this);
}

void ConverterApp::StoreStartupDirectory() { startupDirectory_ = QDir::currentPath(); }

void ConverterApp::AddCommandLineFiles(MainDialog& mainDialog) const {
    std::vector<std::string> arguments;
    // Qt has already taken its own options out of the arguments.
    for (const QString& argument : QApplication::arguments().mid(1)) arguments.push_back(argument.toStdString());
    std::vector<std::string> refused;
    // Through From File's path, so a cue sheet given here (or opened from a file manager) adds its tracks.
    mainDialog.AddFileItems(CommandLineItems(arguments, startupDirectory_.toStdString(), refused));
    for (const std::string& reason : refused) std::fprintf(stderr, "tessival: %s\n", reason.c_str());
}

int ConverterApp::RunMainWindow() {
    StoreStartupDirectory();
    QtShell shell;
    // Before the main window exists, so its messages have no owner.
    ProbeEnvironment(shell).Run();
    MainDialog mainDialog(shell, HelpFilePath(applicationDirPath()));
    shell.SetOwner(&mainDialog);
    SetAppMainWindow(&mainDialog);
    mainDialog.SetLastListFile(LastListPath());
    mainDialog.show();
    mainDialog.OfferLastList();
    AddCommandLineFiles(mainDialog);

    // A closed session, a logout or Ctrl-C in the starting terminal stops a run as the Stop
    // button does; the process ends with 128 + the signal once the stopped item and the list are
    // kept: at once when nothing runs, else when the run tells the window it has ended.
    int stoppedBy = 0;
    const auto endOnceStopped = [&mainDialog, &stoppedBy] {
        if (mainDialog.converting) return;
        mainDialog.KeepList();  // offered back at the next start, as after any other way out
        std::fflush(nullptr);
        ::_exit(128 + stoppedBy);
    };
    StopSignals stopSignals([&](int signal) {
        if (stoppedBy != 0) return;
        stoppedBy = signal;
        mainDialog.SetRunEndedHandler(endOnceStopped);
        mainDialog.OnCommand(ID_STOP);
        endOnceStopped();
    });
    return mainDialog.exec();
}

void ConverterApp::InitInstance() {
    RunMainWindow();
    // Nothing is cleaned up: a run's worker thread, if any, ends with the process.
    ::_exit(0);
}

}  // namespace tessival

#include "app/ConverterApp.h"

#include <unistd.h>

#include <QDir>
#include <QStyleFactory>

#include "platform/shell/QtShell.h"
#include "ui/CommandTarget.h"
#include "ui/MainDialog.h"

namespace tessival {

ConverterApp::ConverterApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tessival"));
    setOrganizationName(QStringLiteral("Kestrane"));
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) setStyle(fusion);
}

void ConverterApp::StoreStartupDirectory() { startupDirectory_ = QDir::currentPath(); }

int ConverterApp::RunMainWindow() {
    StoreStartupDirectory();
    // The environment probe runs here, before the main window exists, once it is built.
    QtShell shell;
    MainDialog mainDialog(shell, startupDirectory_);
    shell.SetOwner(&mainDialog);
    SetAppMainWindow(&mainDialog);
    return mainDialog.exec();
}

void ConverterApp::InitInstance() {
    RunMainWindow();
    // Nothing is cleaned up: a run's worker thread, if any, ends with the process.
    ::_exit(0);
}

}  // namespace tessival

#pragma once

#include <QApplication>
#include <QString>

namespace tessival {

class MainDialog;

// The application: remembers where it was started, probes the filters it needs, shows the main
// window modally with the files named on its command line as items, and ends the process as soon
// as that window's loop ends.
class ConverterApp : public QApplication {
public:
    ConverterApp(int& argc, char** argv);

    // The whole life of the program; never returns.
    [[noreturn]] void InitInstance();

    // Start-up up to the end of the main window's loop; the dialog's result.
    int RunMainWindow();

    // The current directory as it was when start-up began.
    const QString& StartupDirectory() const { return startupDirectory_; }
    void StoreStartupDirectory();

private:
    void AddCommandLineFiles(MainDialog& mainDialog) const;

    QString startupDirectory_;
};

}  // namespace tessival

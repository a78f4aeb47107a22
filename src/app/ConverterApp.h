#pragma once

#include <QApplication>
#include <QString>

namespace tessival {

// The application: remembers where it was started, shows the main window modally, and ends the
// process as soon as that window's loop ends.
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
    QString startupDirectory_;
};

}  // namespace tessival

#pragma once

#include <QDialog>
#include <QTextBrowser>

namespace tessival {

// The help page in a window of our own, for desktops with nothing that opens web pages. Links
// between sections follow inside it.
class HelpWindow : public QDialog {
public:
    HelpWindow(const QString& helpFile, QWidget* parent = nullptr);

    const QTextBrowser& Browser() const { return browser_; }

private:
    QTextBrowser browser_;
};

// Shows the page in a new HelpWindow that deletes itself when closed.
void ShowHelpWindow(const QString& helpFile, QWidget* parent);

}  // namespace tessival

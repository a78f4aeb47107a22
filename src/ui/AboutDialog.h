#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "platform/shell/Shell.h"

namespace tessival {

// Name and version of the program, with buttons that open the help file and the web pages. The
// buttons leave the dialog open; only Close ends it.
class AboutDialog : public QDialog {
public:
    AboutDialog(Shell& shell, QString helpFile, QWidget* parent = nullptr);

    void OnHelpTopic();
    void OnMakerSite();
    void OnProductSite();

private:
    Shell& shell_;
    QString helpFile_;  // the help page, by its full path
    QLabel icon_;
    QLabel version_;
    QLabel notice_;
    QPushButton helpTopic_;
    QPushButton makerSite_;
    QPushButton productSite_;
    QPushButton close_;
};

}  // namespace tessival

#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "platform/shell/Shell.h"

namespace tessival {

// Tells where more encoders can be found. OK opens the encoder page and may be pressed again;
// only Cancel ends the dialog.
class MoreTypesDialog : public QDialog {
public:
    explicit MoreTypesDialog(Shell& shell, QWidget* parent = nullptr);

    // OK opens the page and keeps the dialog open.
    void accept() override;

private:
    Shell& shell_;
    QLabel intro_;
    QLabel rights_;
    QLabel question_;
    QPushButton ok_;
    QPushButton cancel_;
};

}  // namespace tessival

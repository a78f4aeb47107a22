#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace tessival {

// A fixed help text on what the numbers of a quality mean.
class SuggestionDialog : public QDialog {
public:
    explicit SuggestionDialog(QWidget* parent = nullptr);

private:
    QLabel meaning_;
    QLabel example_;
    QPushButton close_;
};

}  // namespace tessival

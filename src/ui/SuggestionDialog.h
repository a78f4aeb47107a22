#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <string>

namespace tessival {

// A fixed help text on what the numbers of a quality mean.
class SuggestionDialog : public QDialog {
public:
    // A file type's destination (destType) gets the example that fits its encoder.
    explicit SuggestionDialog(QWidget* parent = nullptr, const std::string& destType = std::string());

private:
    QLabel meaning_;
    QLabel example_;
    QPushButton close_;
};

}  // namespace tessival

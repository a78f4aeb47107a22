#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace tessival {

// Asked from a run when the encoder refuses the item's quality: pick another quality, let the
// encoder use its own default, or skip the item. Closing it without OK keeps the choice it had.
class InvalidQualityDialog : public QDialog {
public:
    static constexpr int kSelectAnother = 1055;
    static constexpr int kUseDefault = 1056;
    static constexpr int kIgnoreItem = 1057;

    explicit InvalidQualityDialog(QWidget* parent = nullptr);

    // 0: select another quality, 1: the encoder's default, 2: ignore the item.
    int Choice() const { return choice_; }

    // OK reads the radio group into the choice.
    void accept() override;

private:
    QLabel text_;
    QRadioButton selectAnother_;
    QRadioButton useDefault_;
    QRadioButton ignoreItem_;
    QPushButton ok_;
    int choice_ = 0;
};

}  // namespace tessival

#include "ui/InvalidQualityDialog.h"

#include "res/ResourceIds.h"
#include "ui/ControlId.h"
#include "ui/DialogUnits.h"

namespace tessival {

InvalidQualityDialog::InvalidQualityDialog(QWidget* parent)
    : QDialog(parent),
      text_(QStringLiteral("The encoder of destination is not accept you selected quality for this source file. You "
                           "need select another quality to continue convertion."),
            this),
      selectAnother_(QStringLiteral("Select another quality from list."), this),
      useDefault_(QStringLiteral("Use encoder default quality."), this),
      ignoreItem_(QStringLiteral("Ignore this item and goto next ."), this),
      ok_(QStringLiteral("OK"), this) {
    const DialogUnits units = ApplyTemplate(*this, QStringLiteral("Invalid quality"), 241, 153);
    units.Place(text_, 7, 7, 227, 26);
    units.Place(selectAnother_, 45, 52, 148, 10);
    units.Place(useDefault_, 45, 67, 128, 10);
    units.Place(ignoreItem_, 45, 81, 144, 10);
    units.Place(ok_, 184, 132, 50, 14);
    text_.setWordWrap(true);
    text_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetControlId(selectAnother_, kSelectAnother);
    SetControlId(useDefault_, kUseDefault);
    SetControlId(ignoreItem_, kIgnoreItem);
    SetControlId(ok_, IDOK);
    selectAnother_.setChecked(true);
    ok_.setDefault(true);
    connect(&ok_, &QPushButton::clicked, this, &InvalidQualityDialog::accept);
}

void InvalidQualityDialog::accept() {
    if (useDefault_.isChecked())
        choice_ = 1;
    else if (ignoreItem_.isChecked())
        choice_ = 2;
    else
        choice_ = 0;
    QDialog::accept();
}

}  // namespace tessival

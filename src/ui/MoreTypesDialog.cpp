#include "ui/MoreTypesDialog.h"

#include "res/ResourceIds.h"
#include "ui/ControlId.h"
#include "ui/DialogUnits.h"

namespace tessival {
namespace {

QString IntroText() {
    return QStringLiteral("Tessival completely support third-part codec. There are many free codec on internet, "
                          "you can goto ") +
           QString::fromLatin1(kMakerSite) + QStringLiteral(" to find codec sites. ");
}

}  // namespace

MoreTypesDialog::MoreTypesDialog(Shell& shell, QWidget* parent)
    : QDialog(parent),
      shell_(shell),
      intro_(IntroText(), this),
      rights_(QStringLiteral("Every codec remains the property of its vendor, who holds all rights to it. Before "
                             "you install a codec, read its terms of use on the codec's official site."),
              this),
      question_(QStringLiteral("Would you like to download codecs now?"), this),
      ok_(QStringLiteral("OK"), this),
      cancel_(QStringLiteral("Cancel"), this) {
    const DialogUnits units = ApplyTemplate(*this, QStringLiteral("How to get more types"), 258, 152);
    units.Place(intro_, 7, 7, 244, 36);
    units.Place(rights_, 7, 50, 244, 43);
    // Across the dialog's width: the question is longer than its template's place in this font.
    units.Place(question_, 7, 106, 244, 8);
    question_.setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    units.Place(ok_, 146, 131, 50, 14);
    units.Place(cancel_, 201, 131, 50, 14);
    for (QLabel* label : {&intro_, &rights_}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    SetControlId(ok_, IDOK);
    SetControlId(cancel_, IDCANCEL);
    ok_.setDefault(true);
    cancel_.setAutoDefault(false);
    connect(&ok_, &QPushButton::clicked, this, &MoreTypesDialog::accept);
    connect(&cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void MoreTypesDialog::accept() { shell_.ShellOpen(kEncoderDownloadUrl); }

}  // namespace tessival

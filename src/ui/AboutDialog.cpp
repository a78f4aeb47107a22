#include "ui/AboutDialog.h"

#include "res/ResourceIds.h"
#include "res/Version.h"
#include "ui/Artwork.h"
#include "ui/ControlId.h"
#include "ui/DialogUnits.h"
#include "ui/HelpWindow.h"

namespace tessival {

AboutDialog::AboutDialog(Shell& shell, QString helpFile, QWidget* parent)
    : QDialog(parent),
      shell_(shell),
      helpFile_(std::move(helpFile)),
      icon_(this),
      version_(QStringLiteral("Tessival ") + QString::fromLatin1(kVersion), this),
      notice_(QStringLiteral("\u00A9 Kestrane. GNU GPL 3 or later."), this),
      helpTopic_(QStringLiteral("Help Topic"), this),
      makerSite_(QStringLiteral("Kestrane Website"), this),
      productSite_(QStringLiteral("Tessival Website"), this),
      close_(QStringLiteral("Close"), this) {
    const DialogUnits units = ApplyTemplate(*this, QStringLiteral("Tessival Help"), 201, 159);
    units.Place(icon_, 7, 7, 20, 20);
    icon_.setPixmap(AppIcon().pixmap(icon_.size()));
    units.Place(version_, 38, 7, 119, 8);
    units.Place(notice_, 38, 22, 151, 13);
    units.Place(helpTopic_, 53, 68, 100, 14);
    units.Place(makerSite_, 53, 84, 100, 14);
    units.Place(productSite_, 53, 100, 100, 14);
    units.Place(close_, 144, 138, 50, 14);
    SetControlId(helpTopic_, IDC_HELP_TOPIC);
    SetControlId(makerSite_, IDC_MAKER_SITE);
    SetControlId(productSite_, IDC_PRODUCT_SITE);
    SetControlId(close_, IDOK);
    for (QPushButton* button : {&helpTopic_, &makerSite_, &productSite_}) button->setAutoDefault(false);
    close_.setDefault(true);
    connect(&helpTopic_, &QPushButton::clicked, this, [this] { OnHelpTopic(); });
    connect(&makerSite_, &QPushButton::clicked, this, [this] { OnMakerSite(); });
    connect(&productSite_, &QPushButton::clicked, this, [this] { OnProductSite(); });
    connect(&close_, &QPushButton::clicked, this, &QDialog::accept);
}

// By its full path, so file dialogs that changed the current directory do not matter.
void AboutDialog::OnHelpTopic() {
    if (!shell_.ShellOpen(helpFile_.toStdString())) ShowHelpWindow(helpFile_, this);
}

void AboutDialog::OnMakerSite() { shell_.ShellOpen(kMakerUrl); }

void AboutDialog::OnProductSite() { shell_.ShellOpen(kProductUrl); }

}  // namespace tessival

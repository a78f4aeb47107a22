#include "ui/NamingDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>

#include "engine/sources/NamedSources.h"
#include "engine/sources/SourceNaming.h"
#include "engine/conversion/Preflight.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

const QString kPatternKey = QStringLiteral("naming/pattern");
const QString kRootKey = QStringLiteral("naming/root");
const QString kPortableKey = QStringLiteral("naming/portable");
const QString kDefaultPattern = QStringLiteral("{albumartist}/{album}/{track:02} - {title}");

QString Text(int id) { return QString::fromStdString(LoadString(id)); }

}  // namespace

NamingDialog::NamingDialog(ItemList& items, int first, QSettings& settings, QWidget* parent)
    : QDialog(parent), items_(items), first_(first), settings_(settings) {
    setWindowTitle(Text(IDS_NAMING_TITLE));
    pattern_.setText(settings_.value(kPatternKey, kDefaultPattern).toString());
    root_.setText(settings_.value(kRootKey).toString());
    root_.setPlaceholderText(Text(IDS_NAMING_ROOT_EMPTY));
    portable_.setText(Text(IDS_NAMING_PORTABLE));
    portable_.setChecked(settings_.value(kPortableKey, false).toBool());
    preview_.setWordWrap(true);
    preview_.setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout(this);  // the dialog owns its layout and buttons
    form->addRow(Text(IDS_NAMING_PATTERN), &pattern_);
    form->addRow(Text(IDS_NAMING_ROOT), &root_);
    form->addRow(QString(), &portable_);
    form->addRow(Text(IDS_NAMING_PREVIEW), &preview_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &NamingDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NamingDialog::reject);
    for (QLineEdit* edit : {&pattern_, &root_})
        connect(edit, &QLineEdit::textChanged, this, [this] { UpdatePreview(); });
    connect(&portable_, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
    UpdatePreview();
}

std::optional<NamePattern> NamingDialog::Pattern(std::string& problem) const {
    return NamePattern::Parse(pattern_.text().toStdString(), problem);
}

NameCharset NamingDialog::Charset() const {
    return portable_.isChecked() ? NameCharset::Portable : NameCharset::Posix;
}

void NamingDialog::UpdatePreview() {
    const ConvertItem* item = items_.At(first_);
    std::string problem;
    const auto pattern = Pattern(problem);
    if (!item || !pattern) {
        preview_.setText(QString::fromStdString(problem));
        return;
    }
    // The preview names a copy: nothing changes before OK.
    ConvertItem named = *item;
    const std::string root = AbsolutePath(root_.text().toStdString());
    if (!NameDestination(named, *pattern, Charset(), root, {}))
        preview_.setText(Text(IDS_NAMING_TOO_LONG));
    else
        preview_.setText(QString::fromStdString(DestinationFileName(named)));
}

void NamingDialog::accept() {
    std::string problem;
    const auto pattern = Pattern(problem);
    if (!pattern) return;
    // The window's items were added without the folder they were found under: {dir} is empty.
    NamingChoice naming{*pattern, Charset(), AbsolutePath(root_.text().toStdString()), true};
    // Named on a copy, so that a path that does not fit leaves every item as it was.
    ItemList renamed;
    items_.ForEach([&renamed](const ConvertItem& item) { renamed.Append(item); });
    if (!NameNewItems(renamed, static_cast<std::size_t>(first_), {}, naming, problem)) {
        preview_.setText(QString::fromStdString(problem));
        return;
    }
    for (std::size_t i = static_cast<std::size_t>(first_); i < items_.Count(); ++i)
        *items_.At(static_cast<std::ptrdiff_t>(i)) = *renamed.At(static_cast<std::ptrdiff_t>(i));
    settings_.setValue(kPatternKey, pattern_.text());
    settings_.setValue(kRootKey, root_.text());
    settings_.setValue(kPortableKey, portable_.isChecked());
    QDialog::accept();
}

}  // namespace tessival

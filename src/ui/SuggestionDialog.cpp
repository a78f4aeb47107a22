#include "ui/SuggestionDialog.h"

#include "joblist/DestTypes.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/ControlId.h"
#include "ui/DialogUnits.h"

namespace tessival {
namespace {

// One text, its lines joined with line breaks.
QString Lines(std::initializer_list<const char*> lines) {
    QStringList list;
    for (const char* line : lines) list << QString::fromLatin1(line);
    return list.join(QLatin1Char('\n'));
}

// The file types' examples follow their order in the type list.
int FileTypeSuggestionId(const std::string& destType) {
    const FileDestType* file = FindFileDestType(destType);
    if (!file) return 0;
    return IDS_SUGGEST_FILE_TYPE_FIRST + static_cast<int>(file - FileDestTypes().data());
}

}  // namespace

SuggestionDialog::SuggestionDialog(QWidget* parent, const std::string& destType)
    : QDialog(parent),
      meaning_(Lines({"First, you ought to know the mean of the numbers.", "", "Channel:   1 = mono, 2 = stereo",
                      "kbps:\t   Kilo-Bytes Per Second", "Bit:\t   8 bit or 16 bit per sample",
                      "Frequency: 48000=good than CD,41000=CD,22050=Radio,8000=Phone"}),
               this),
      example_(Lines({"For example: ", "If you plan convert a file to mp3, following is the best:", "",
                      "Channel:   2 = stereo", "kbps:\t   128 k byte per second.", "Bit:\t   0",
                      "Frequency: 41000 = CD"}),
               this),
      close_(QStringLiteral("Close"), this) {
    const DialogUnits units = ApplyTemplate(*this, QStringLiteral("Suggestion"), 273, 193);
    units.Place(meaning_, 7, 7, 259, 50);
    units.Place(example_, 7, 90, 259, 68);
    units.Place(close_, 216, 172, 50, 14);
    // The template's statics wrap their lines. The faces here are wider than the template's, so
    // a narrower one keeps the wrapped text within the statics' height.
    QFont narrow = font();
    narrow.setStretch(QFont::Condensed);
    for (QLabel* label : {&meaning_, &example_}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setFont(narrow);
    }
    SetControlId(close_, IDCANCEL);
    close_.setDefault(true);
    connect(&close_, &QPushButton::clicked, this, &QDialog::reject);
    if (const int id = FileTypeSuggestionId(destType)) example_.setText(QString::fromStdString(LoadString(id)));
}

}  // namespace tessival

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>

#include "WindowFixture.h"
#include "joblist/DestTypes.h"
#include "joblist/TextField.h"
#include "res/StringTable.h"
#include "support/FakeCaptureSources.h"
#include "ui/AboutDialog.h"
#include "ui/CaptureDeviceDialog.h"
#include "ui/ControlId.h"
#include "ui/InvalidItemsDialog.h"
#include "ui/InvalidQualityDialog.h"
#include "ui/ItemPropertiesDialog.h"
#include "ui/MoreTypesDialog.h"
#include "ui/QualityDialog.h"
#include "ui/SuggestionDialog.h"

namespace tessival {
namespace {

QString Plain(const QString& text) {
    if (!Qt::mightBeRichText(text)) return QString(text).remove(QLatin1Char('&'));
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

// The controls of `dialog` whose text does not fit their rectangle, each with the text.
std::vector<std::string> Clipped(QWidget& dialog) {
    std::vector<std::string> clipped;
    const auto check = [&clipped](const QWidget& control, const QString& text, const QRect& room, bool wrap) {
        if (text.isEmpty() || !control.isVisibleTo(control.window())) return;
        const QFontMetrics metrics(control.font());
        // One line is clipped when its ink is: the font's line spacing may overhang the template.
        const QRect needed = wrap ? metrics.boundingRect(room, Qt::TextWordWrap, text)
                                  : QRect(0, 0, metrics.horizontalAdvance(text), metrics.tightBoundingRect(text).height());
        const QRect placed(control.mapTo(control.window(), QPoint()), control.size());
        const bool insideDialog = control.window()->rect().contains(placed);
        if (needed.width() > room.width() || needed.height() > room.height() || !insideDialog)
            clipped.push_back(control.metaObject()->className() + std::string(": ") + text.toStdString() + " needs " +
                              std::to_string(needed.width()) + "x" + std::to_string(needed.height()) + " in " +
                              std::to_string(room.width()) + "x" + std::to_string(room.height()));
    };
    for (QLabel* label : dialog.findChildren<QLabel*>())
        check(*label, Plain(label->text()), label->contentsRect(), label->wordWrap());
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        check(*button, Plain(button->text()), button->rect().adjusted(4, 0, -4, 0), false);
    for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
        const int indicator = radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, radio) +
                              radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, radio);
        check(*radio, Plain(radio->text()), radio->rect().adjusted(indicator, 0, 0, 0), false);
    }
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
        check(*group, group->title(), group->rect().adjusted(10, 0, -10, 0), false);
    return clipped;
}

class TextFitTest : public test::WindowTest {
protected:
    void ExpectAllFit(QDialog& dialog, const std::string& what) {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(Clipped(dialog), std::vector<std::string>{}) << what;
        dialog.hide();
    }
};

TEST_F(TextFitTest, EveryDialogShowsEveryTextWhole) {
    MoreTypesDialog moreTypes(shell, &window);
    ExpectAllFit(moreTypes, "more types");
    InvalidQualityDialog invalidQuality(&window);
    ExpectAllFit(invalidQuality, "invalid quality");
    AboutDialog about(shell, QString(), &window);
    ExpectAllFit(about, "about");
    SuggestionDialog suggestion(&window);
    ExpectAllFit(suggestion, "suggestion");
    for (const FileDestType& type : FileDestTypes()) {
        SuggestionDialog typed(&window, std::string(type.type));
        ExpectAllFit(typed, std::string(type.type));
    }
    ItemList items;
    InvalidItemsDialog invalidItems(items, drives, &window);
    ExpectAllFit(invalidItems, "invalid items");
    QualityDialog quality(shell, "MP3", QualityInfo{}, nullptr, &window);
    ExpectAllFit(quality, "quality");
    CaptureDeviceDialog capture(shell, &window, test::RegistryWithDevices(std::make_shared<test::FakeCaptureSources>()));
    ExpectAllFit(capture, "capture without devices");

    // The properties window with each status a run writes that names no file.
    AddFiles("/music/", {"a.mp3"});
    window.ListControl().SelectRow(0);
    auto& properties = static_cast<ItemPropertiesDialog&>(*window.PropertiesDialog());
    for (const int id : {IDS_INIT, IDS_USER_ABORT, IDS_COMPLETE, IDS_SOURCE_UNSUPPORTED, IDS_SOURCE_INCOMPATIBLE,
                         IDS_DEST_TYPE_INVALID, IDS_DEST_QUALITY_INVALID, IDS_DEST_IS_SOURCE, IDS_SOURCE_UNREADABLE,
                         IDS_DEST_FOLDER_UNUSABLE, IDS_SOURCE_DAMAGED, IDS_CAPTURE_DEVICE_LOST, IDS_CAPTURE_OVERRUN,
                         IDS_SOURCE_NO_AUDIO, IDS_SOURCE_NOT_MEDIA, IDS_SOURCE_BROKEN}) {
        properties.ShowStatus(QString::fromStdString(LoadString(id)));
        ExpectAllFit(properties, "status " + std::to_string(id));
    }
}

}  // namespace
}  // namespace tessival

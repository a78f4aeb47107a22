#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTreeWidget>
#include <cstring>

#include "WindowFixture.h"
#include "engine/QualityListing.h"
#include "ui/ControlId.h"
#include "ui/ItemPropertiesDialog.h"
#include "ui/QualityDialog.h"

namespace tessival {
namespace {

using test::WhenModal;
using test::WindowTest;

QualityInfo CdQuality() {
    QualityInfo q{};
    q.wFormatTag = 1;
    q.nChannels = 2;
    q.nSamplesPerSec = 44100;
    q.nAvgBytesPerSec = 16000;
    q.nBlockAlign = 4;
    q.wBitsPerSample = 16;
    return q;
}

// The real properties window of the real main window, bound to the selected row.
class PropertiesTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        AddFiles("/music/", {"song.mp3", "b.wav", "c.wma"});
        Bind(0);
    }
    ItemPropertiesDialog& Dialog() { return static_cast<ItemPropertiesDialog&>(*window.PropertiesDialog()); }
    ConvertItem& Item(int row) { return *window.itemList.At(row); }
    void Bind(int row) { window.ListControl().SelectRow(row); }
    template <typename T>
    T& Control(int id) {
        auto* control = qobject_cast<T*>(FindControl(Dialog(), id));
        EXPECT_NE(control, nullptr) << id;
        return *control;
    }
    // Picks an entry as the user does.
    void Choose(int comboId, const QString& entry) {
        auto& combo = Control<QComboBox>(comboId);
        const int index = combo.findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        combo.setCurrentIndex(index);
        emit combo.activated(index);
    }
    void TypeName(const QString& name) {
        auto& edit = Control<QLineEdit>(ItemPropertiesDialog::kDestName);
        edit.setText(name);
        emit edit.textEdited(name);
    }
    std::string Label(int id) { return Control<QLabel>(id).text().toStdString(); }
};

TEST_F(PropertiesTest, SourceTypesAreListedInTheirOrder) {
    const QStringList expected = {
        "UNKNOWN (UnKnown type)",        "ASF (Advanced Streaming Format)", "WMV (Windows Media Video)",
        "WMA (Windows Media Audio)",     "DAT (Video CD)",                  "VOB (DVD Video)",
        "MPG (MPEG I Video)",            "AVI (Audio-Video Interleaved)",   "WAV (Wave)",
        "MP3 (MPEG Layer 3 Audio)",      "CDA (CD Audio Track)",            "CAP (Audio Capture Device)"};
    auto& combo = Control<QComboBox>(ItemPropertiesDialog::kSourceType);
    ASSERT_GE(combo.count(), expected.size());
    for (int i = 0; i < expected.size(); ++i) EXPECT_EQ(combo.itemText(i), expected[i]) << i;
}

TEST_F(PropertiesTest, DestinationTypesBeginWithTheBuiltInEntries) {
    const QStringList expected = {"UNSPECIFIED", "WMA", "WAV", "MP3", "", "--------All third party types----------", ""};
    auto& combo = Control<QComboBox>(ItemPropertiesDialog::kDestType);
    ASSERT_GE(combo.count(), expected.size());
    for (int i = 0; i < expected.size(); ++i) EXPECT_EQ(combo.itemText(i), expected[i]) << i;
    EXPECT_EQ(combo.itemText(expected.size()).left(5), QStringLiteral("WAV ("));
}

TEST_F(PropertiesTest, EnterHidesTheWindow) {
    window.OnCommand(ID_EDIT);
    ASSERT_TRUE(Dialog().isVisible());
    QTest::keyClick(&Control<QLineEdit>(ItemPropertiesDialog::kDestName), Qt::Key_Return);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(window.itemList.Count(), 3u);
}

// The rule's cases are in tests/joblist/DestTypesTest.cpp; here the window shows its result.
TEST_F(PropertiesTest, DestinationTypeRenamesTheNameAndClearsTheQuality) {
    TypeName(QStringLiteral("my.song.mp3"));
    Item(0).quality = CdQuality();
    Choose(ItemPropertiesDialog::kDestType, QStringLiteral("WMA"));
    EXPECT_EQ(ReadField(Item(0).destName), "my.wma");
    EXPECT_EQ(Control<QLineEdit>(ItemPropertiesDialog::kDestName).text().toStdString(), "my.wma");
    EXPECT_EQ(ReadField(Item(0).destType), "WMA");
    EXPECT_FALSE(HasQuality(Item(0).quality));
    EXPECT_EQ(Label(ItemPropertiesDialog::kChannels), "0");
    ExpectRowsMatchItems();
}

TEST_F(PropertiesTest, TypedNameStopsWhereTheFieldIsFullInBytes) {
    auto& edit = Control<QLineEdit>(ItemPropertiesDialog::kDestName);
    edit.clear();
    emit edit.textEdited(QString());
    for (int i = 0; i < 50; ++i) {  // é, two bytes each, typed one by one
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x00E9)));
        QApplication::sendEvent(&edit, &press);
    }
    const std::string shown = edit.text().toStdString();
    EXPECT_EQ(shown.size(), 78u);  // 39 of them
    EXPECT_EQ(ReadField(Item(0).destName), shown);
}

TEST_F(PropertiesTest, CompressorEntryIsStoredWholeAndGivesWav) {
    Choose(ItemPropertiesDialog::kDestType, QStringLiteral("WAV (PCM)"));
    EXPECT_EQ(ReadField(Item(0).destType), "WAV (PCM)");
    EXPECT_EQ(ReadField(Item(0).destName), "song.wav");
    EXPECT_TRUE(Control<QPushButton>(ItemPropertiesDialog::kSelectQuality).isEnabled());
    ExpectRowsMatchItems();
}

TEST_F(PropertiesTest, UnusableTypeEntriesLeaveTheItemAlone) {
    Choose(ItemPropertiesDialog::kDestType, QStringLiteral("MP3"));
    Item(0).quality = CdQuality();
    for (const QString& entry : {QStringLiteral("UNSPECIFIED"), QStringLiteral("--------All third party types----------"),
                                QString()}) {
        Choose(ItemPropertiesDialog::kDestType, entry);
        EXPECT_TRUE(Dialog().IsTypeUnusable());
        EXPECT_EQ(ReadField(Item(0).destType), "MP3");
        EXPECT_EQ(ReadField(Item(0).destName), "song.mp3");
        EXPECT_TRUE(HasQuality(Item(0).quality));
        EXPECT_FALSE(Control<QPushButton>(ItemPropertiesDialog::kSelectQuality).isEnabled());
    }
}

TEST_F(PropertiesTest, AQualityAtTheSourcesOwnBitsAndFrequencyShowsThemAsSource) {
    Item(1).quality = QualityInfo{0xF1AC, 2, 0, 5 * 125, 1, 0, 0};
    Bind(1);
    QStringList texts;
    for (QLabel* label : Dialog().findChildren<QLabel*>()) texts << label->text();
    EXPECT_EQ(texts.count(QStringLiteral("Source")), 2) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(texts.contains(QStringLiteral("0"))) << "no zero bits or frequency";
}

TEST_F(PropertiesTest, FileTypesFollowTheOriginalEntriesAndSetTheirOwnExtensions) {
    auto& combo = Control<QComboBox>(ItemPropertiesDialog::kDestType);
    const int count = combo.count();
    ASSERT_GE(count, 8);
    const QStringList tail = {QString(), QStringLiteral("--------Files with tags----------"), QString(),
                              QStringLiteral("LAME MP3"), QStringLiteral("FLAC"), QStringLiteral("Ogg Vorbis"),
                              QStringLiteral("Opus"), QStringLiteral("M4A AAC")};
    for (int i = 0; i < tail.size(); ++i) EXPECT_EQ(combo.itemText(count - tail.size() + i), tail[i]);
    EXPECT_LT(combo.findText(QStringLiteral("WAV (PCM)")), count - tail.size());

    Choose(ItemPropertiesDialog::kDestType, QStringLiteral("Opus"));
    EXPECT_EQ(ReadField(Item(0).destName), "song.opus");
    // Binding finds each type's own entry again.
    WriteField(Item(1).destType, "Opus");
    Bind(1);
    EXPECT_EQ(combo.currentText().toStdString(), "Opus");
    Choose(ItemPropertiesDialog::kDestType, QStringLiteral("--------Files with tags----------"));
    EXPECT_TRUE(Dialog().IsTypeUnusable());
    EXPECT_EQ(ReadField(Item(1).destType), "Opus");
}

TEST_F(PropertiesTest, SourceTypeNameAndPathAreWrittenAtOnce) {
    Choose(ItemPropertiesDialog::kSourceType, QStringLiteral("UNKNOWN (UnKnown type)"));
    EXPECT_EQ(ReadField(Item(0).sourceType), "UNK");
    TypeName(QStringLiteral("renamed"));
    EXPECT_EQ(ReadField(Item(0).destName), "renamed");
    shell.folderAnswers.push_back(std::string("/tmp/out"));
    Control<QPushButton>(ItemPropertiesDialog::kBrowse).click();
    EXPECT_EQ(ReadField(Item(0).destPath), "/tmp/out");
    EXPECT_EQ(shell.folderTitles.back(), "Folder");
    shell.folderAnswers.push_back(std::nullopt);
    Control<QPushButton>(ItemPropertiesDialog::kBrowse).click();
    EXPECT_EQ(ReadField(Item(0).destPath), "/tmp/out");
    ExpectRowsMatchItems();
}

TEST_F(PropertiesTest, BindingShowsTheRecord) {
    std::strcpy(Item(1).destType, "WAV (PCM)");
    Item(1).quality = CdQuality();
    std::strcpy(Item(1).status, "Error: something");
    Bind(1);
    EXPECT_EQ(Dialog().windowTitle().toStdString(), "\"\u2068b.wav\u2069\"  Properties");
    EXPECT_EQ(Control<QComboBox>(ItemPropertiesDialog::kDestType).currentText().toStdString(), "WAV (PCM)");
    EXPECT_EQ(Control<QComboBox>(ItemPropertiesDialog::kSourceType).currentText().toStdString(), "WAV (Wave)");
    EXPECT_EQ(Label(ItemPropertiesDialog::kChannels), "2");
    EXPECT_EQ(Label(ItemPropertiesDialog::kBits), "16");
    EXPECT_EQ(Label(ItemPropertiesDialog::kFrequency), "44100");
    EXPECT_EQ(Label(ItemPropertiesDialog::kBitRate), "128");
    EXPECT_EQ(Label(ItemPropertiesDialog::kStatus), "Error: something");
    // A compressor that is gone: the type combo keeps what it showed.
    std::strcpy(Item(2).destType, "WAV (No Such Codec)");
    Bind(2);
    EXPECT_EQ(Control<QComboBox>(ItemPropertiesDialog::kDestType).currentText().toStdString(), "WAV (PCM)");
    EXPECT_EQ(ReadField(Item(2).destType), "WAV (No Such Codec)");
}

TEST_F(PropertiesTest, ComboSearchStartsAtTheSecondEntryAndWraps) {
    QComboBox combo;
    combo.addItems({QStringLiteral("WAVE first"), QStringLiteral("x"), QStringLiteral("wav second")});
    EXPECT_EQ(ItemPropertiesDialog::FindEntry(combo, QStringLiteral("WAV")), 2);
    EXPECT_EQ(ItemPropertiesDialog::FindEntry(combo, QStringLiteral("WAVE")), 0);
    EXPECT_EQ(ItemPropertiesDialog::FindEntry(combo, QStringLiteral("zz")), -1);
}

TEST_F(PropertiesTest, ReadOnlyDuringARunWritesNothing) {
    Dialog().SetReadOnly(true);
    TypeName(QStringLiteral("changed"));
    Dialog().OnDestTypeChanged();
    Dialog().OnSourceTypeChanged();
    EXPECT_EQ(ReadField(Item(0).destName), "song");
    EXPECT_EQ(ReadField(Item(0).destType), "UNSPECIFIED");
    EXPECT_FALSE(Control<QPushButton>(ItemPropertiesDialog::kApplyToFollowing).isEnabled());
    Dialog().SetReadOnly(false);
    EXPECT_TRUE(Control<QPushButton>(ItemPropertiesDialog::kApplyToFollowing).isEnabled());
}

TEST_F(PropertiesTest, RemovedRecordIsNeverWritten) {
    window.OnCommand(ID_DELETE);  // removes row 0, the bound one
    EXPECT_NE(Dialog().Item(), nullptr);
    EXPECT_EQ(Dialog().Item(), window.itemList.At(0));
    window.OnCommand(ID_NEW_LIST);
    EXPECT_EQ(Dialog().Item(), nullptr);
    TypeName(QStringLiteral("ghost"));
    Choose(ItemPropertiesDialog::kDestType, QStringLiteral("MP3"));
    EXPECT_EQ(window.itemList.Count(), 0u);
}

TEST_F(PropertiesTest, QualityChosenInTheDialogFillsTheRecordAndLabels) {
    Choose(ItemPropertiesDialog::kDestType, QStringLiteral("WAV (PCM)"));
    const auto offered = ListEncoderQualities(shell, "PCM");
    ASSERT_GT(offered.size(), 2u);
    WhenModal pick(WhenModal::Kind::Dialog, [](QWidget* dialog) {
        auto* list = qobject_cast<QTreeWidget*>(FindControl(*dialog, QualityDialog::kList));
        list->topLevelItem(2)->setSelected(true);
        static_cast<QDialog*>(dialog)->accept();
    });
    Control<QPushButton>(ItemPropertiesDialog::kSelectQuality).click();
    EXPECT_EQ(pick.Seen(), 1);
    EXPECT_TRUE(IsSameQuality(Item(0).quality, offered[2]));
    EXPECT_EQ(Label(ItemPropertiesDialog::kChannels), std::to_string(offered[2].nChannels));
    EXPECT_EQ(Label(ItemPropertiesDialog::kFrequency), std::to_string(offered[2].nSamplesPerSec));
    ExpectRowsMatchItems();

    // Close leaves the quality as it is.
    const QualityInfo before = Item(0).quality;
    WhenModal close(WhenModal::Kind::Dialog, [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    Control<QPushButton>(ItemPropertiesDialog::kSelectQuality).click();
    EXPECT_EQ(std::memcmp(&before, &Item(0).quality, sizeof before), 0);
}

TEST_F(PropertiesTest, ApplyToFollowItemsCopiesToTheRowsBelow) {
    Bind(1);
    Choose(ItemPropertiesDialog::kDestType, QStringLiteral("MP3"));
    Item(1).quality = CdQuality();
    Control<QPushButton>(ItemPropertiesDialog::kApplyToFollowing).click();
    EXPECT_EQ(ReadField(Item(2).destType), "MP3");
    EXPECT_EQ(ReadField(Item(2).destName), "c.mp3");
    EXPECT_TRUE(IsSameQuality(Item(2).quality, CdQuality()));
    EXPECT_EQ(ReadField(Item(0).destType), "UNSPECIFIED");
    ExpectRowsMatchItems();
}

}  // namespace
}  // namespace tessival

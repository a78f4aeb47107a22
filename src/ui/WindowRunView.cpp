#include "ui/WindowRunView.h"

#include <QThread>

#include "joblist/ItemColumns.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/InvalidQualityDialog.h"
#include "ui/ItemListMirror.h"
#include "ui/ItemListView.h"
#include "ui/QualityDialog.h"

namespace tessival {

WindowRunView::WindowRunView(ItemListMirror& mirror, ItemListView& list, Shell& shell, QWidget* dialogParent,
                             FinishedHandler finished)
    : mirror_(mirror),
      list_(list),
      shell_(shell),
      dialogParent_(dialogParent),
      finished_(std::move(finished)) {}

template <typename Call>
void WindowRunView::Post(Call call) {
    QMetaObject::invokeMethod(
        this,
        [this, call = std::move(call)]() mutable {
            windowThread_.Check();
            call();
        },
        Qt::QueuedConnection);
}

template <typename Result, typename Call>
Result WindowRunView::Ask(Call call) {
    Result result{};
    // Already on the window's thread, a blocking call would wait for itself.
    const auto type = QThread::currentThread() == thread() ? Qt::DirectConnection : Qt::BlockingQueuedConnection;
    QMetaObject::invokeMethod(
        this,
        [this, &result, &call] {
            windowThread_.Check();
            result = call();
        },
        type);
    return result;
}

void WindowRunView::SelectRunningRow(int index) {
    Post([this, index] {
        list_.ClearRowSelection();
        list_.SelectRow(index);
    });
}

void WindowRunView::SetStatusCell(int index, const std::string& text) {
    Post([this, index, text = QString::fromStdString(text)] { mirror_.ShowStatus(index, text); });
}

void WindowRunView::RefreshRow(int index) {
    Post([this, index] { mirror_.RefreshRow(index); });
}

void WindowRunView::ShowCommitPending(int index) { SetStatusCell(index, LoadString(IDS_COMMIT_PENDING)); }

void WindowRunView::StoreRecord(ConvertItem& record, const ConvertItem& converted) {
    // The window's thread reads the records (the properties window shows the bound one).
    Post([&record, converted] { record = converted; });
}

void WindowRunView::RunFinished(int messageId) {
    Post([this, messageId] {
        if (finished_) finished_(messageId);
    });
}

void WindowRunView::ReportLoudness(int index, const media::LoudnessReading& reading) {
    Post([this, index, reading] {
        if (loudness_) loudness_(index, reading);
    });
}

InvalidQualityChoice WindowRunView::AskInvalidQuality() {
    const int choice = Ask<int>([this] {
        InvalidQualityDialog dialog(dialogParent_);
        dialog.exec();
        return dialog.Choice();
    });
    switch (choice) {
        case 1: return InvalidQualityChoice::UseEncoderDefault;
        case 2: return InvalidQualityChoice::SkipItem;
        default: return InvalidQualityChoice::ChooseAnother;
    }
}

std::optional<QualityInfo> WindowRunView::AskQuality(const ConvertItem& item,
                                                     const std::shared_ptr<media::IBaseFilter>& encoder) {
    return Ask<std::optional<QualityInfo>>([this, &item, &encoder]() -> std::optional<QualityInfo> {
        QualityDialog dialog(shell_, ReadField(item.destType), item.quality, encoder, dialogParent_);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Chosen();
    });
}

}  // namespace tessival

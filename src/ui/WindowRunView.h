#pragma once

#include <QObject>
#include <functional>

#include "engine/RunView.h"
#include "engine/ThreadOwner.h"

class QWidget;

namespace tessival {

class ItemListMirror;
class ItemListView;
class Shell;

// Shows a conversion run in the main window. The worker calls in on its own thread; every widget
// is touched on the window's thread only: cell texts as queued calls, the quality questions as
// blocking calls that run the dialogs there while the worker waits.
class WindowRunView : public QObject, public RunView {
public:
    using FinishedHandler = std::function<void(int messageId)>;
    using LoudnessHandler = std::function<void(int index, const media::LoudnessReading& reading)>;

    WindowRunView(ItemListMirror& mirror, ItemListView& list, Shell& shell, QWidget* dialogParent,
                  FinishedHandler finished);

    void SelectRunningRow(int index) override;
    void SetStatusCell(int index, const std::string& text) override;
    void RefreshRow(int index) override;
    void ShowCommitPending(int index) override;
    void StoreRecord(ConvertItem& record, const ConvertItem& converted) override;
    void RunFinished(int messageId) override;
    void ReportLoudness(int index, const media::LoudnessReading& reading) override;
    // Hears, on the window's thread, what each converted item measured (after its record is back).
    void SetLoudnessHandler(LoudnessHandler handler) { loudness_ = std::move(handler); }
    InvalidQualityChoice AskInvalidQuality() override;
    std::optional<QualityInfo> AskQuality(const ConvertItem& item,
                                          const std::shared_ptr<media::IBaseFilter>& encoder) override;

private:
    template <typename Call>
    void Post(Call call);
    template <typename Result, typename Call>
    Result Ask(Call call);

    ItemListMirror& mirror_;
    ItemListView& list_;
    Shell& shell_;
    QWidget* dialogParent_;
    FinishedHandler finished_;
    LoudnessHandler loudness_;
    ThreadOwner windowThread_;  // constructed on the window's thread, where every call lands
};

}  // namespace tessival

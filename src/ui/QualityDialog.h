#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "joblist/QualityInfo.h"
#include "platform/media/FilterRegistry.h"

namespace tessival {

class Shell;
namespace media {
class IBaseFilter;
}

// Lists every output format the encoder of a destination type offers and returns the one the user
// picks. The encoder is found by name, or supplied by a running conversion (then it is only read).
class QualityDialog : public QDialog {
public:
    static constexpr int kList = 1000;
    static constexpr int kSuggestion = 1041;

    // `current` is the item's quality, used for the preselection only.
    QualityDialog(Shell& shell, std::string destType, const QualityInfo& current,
                  std::shared_ptr<media::IBaseFilter> encoder = nullptr, QWidget* parent = nullptr,
                  std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());

    // Fills the list first; ends at once with Rejected when the encoder is not installed.
    int exec() override;
    // Fills the title and the list; false when the dialog must end without showing.
    bool Initialize();

    // OK: the first selected row becomes the choice; nothing happens without one.
    void accept() override;

    const std::vector<QualityInfo>& Qualities() const { return qualities_; }
    int ChosenIndex() const { return chosenIndex_; }
    int PreselectedIndex() const { return preselectedIndex_; }
    // The chosen quality after exec() returned Accepted.
    QualityInfo Chosen() const;
    QTreeWidget& List() { return list_; }

private:
    bool ListEncoderFormats(const std::string& encoderName);
    void AddRow(const QualityInfo& quality);
    void ShowPreselection();

    Shell& shell_;
    std::string destType_;
    QualityInfo current_;
    std::shared_ptr<media::IBaseFilter> encoder_;
    std::shared_ptr<const media::FilterRegistry> registry_;
    QTreeWidget list_;
    QPushButton suggestion_;
    QPushButton ok_;
    QPushButton close_;
    std::vector<QualityInfo> qualities_;
    int chosenIndex_ = -1;
    int preselectedIndex_ = -1;
};

}  // namespace tessival

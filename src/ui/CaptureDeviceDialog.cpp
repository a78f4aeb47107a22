#include "ui/CaptureDeviceDialog.h"

#include "engine/CaptureDevices.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/ControlId.h"
#include "ui/DialogUnits.h"

namespace tessival {
namespace {

constexpr int kDeviceList = 1000;
constexpr int kPortList = 1002;

void SetUpList(QListWidget& list) {
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSortingEnabled(false);
    list.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

}  // namespace

CaptureDeviceDialog::CaptureDeviceDialog(Shell& shell, QWidget* parent,
                                         std::shared_ptr<const media::FilterRegistry> registry)
    : QDialog(parent),
      toolkit_(shell, std::move(registry)),
      deviceLabel_(QStringLiteral("Audio Capture Device:"), this),
      devices_(this),
      portLabel_(QStringLiteral("Audio Input port:"), this),
      ports_(this),
      hint_(QString::fromStdString(LoadString(IDS_NO_SOUND_SERVER)), this),
      ok_(QStringLiteral("OK"), this),
      cancel_(QStringLiteral("Cancel"), this) {
    const DialogUnits units = ApplyTemplate(*this, QStringLiteral("Select Capture Device"), 180, 169);
    units.Place(deviceLabel_, 7, 7, 85, 8);
    units.Place(devices_, 7, 19, 166, 33);
    units.Place(portLabel_, 7, 55, 69, 8);
    units.Place(ports_, 7, 66, 166, 66);
    units.Place(hint_, 7, 55, 166, 77);
    hint_.setWordWrap(true);
    hint_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint_.setTextInteractionFlags(Qt::TextSelectableByMouse);
    units.Place(ok_, 70, 146, 50, 14);
    units.Place(cancel_, 123, 146, 50, 14);
    deviceLabel_.setBuddy(&devices_);
    portLabel_.setBuddy(&ports_);
    SetUpList(devices_);
    SetUpList(ports_);
    SetControlId(devices_, kDeviceList);
    SetControlId(ports_, kPortList);
    SetControlId(ok_, IDOK);
    SetControlId(cancel_, IDCANCEL);
    ok_.setDefault(true);
    connect(&ok_, &QPushButton::clicked, this, &CaptureDeviceDialog::accept);
    connect(&cancel_, &QPushButton::clicked, this, &QDialog::reject);

    FillDevices();
    FillPorts(0);
    connect(&devices_, &QListWidget::currentRowChanged, this, [this](int row) { FillPorts(row); });
}

CaptureDeviceDialog::~CaptureDeviceDialog() = default;

void CaptureDeviceDialog::FillDevices() {
    const std::vector<std::string> names = toolkit_.AudioInputDeviceNames();
    devices_.clear();
    // Two empty lists would say nothing: without a device the lines' place tells why.
    hint_.setVisible(names.empty());
    portLabel_.setVisible(!names.empty());
    ports_.setVisible(!names.empty());
    if (names.empty()) return;
    for (const std::string& name : names) devices_.addItem(QString::fromStdString(name));
    devices_.setCurrentRow(0);
}

void CaptureDeviceDialog::FillPorts(int device) {
    ports_.clear();
    if (device < 0) return;
    for (const std::string& line : InputLinesOf(toolkit_, device)) ports_.addItem(QString::fromStdString(line));
    // No line is chosen until the user picks one: the device then records as it is set.
    ports_.setCurrentRow(-1);
}

void CaptureDeviceDialog::accept() {
    deviceIndex_ = devices_.currentRow();
    deviceName_ = deviceIndex_ >= 0 ? devices_.item(deviceIndex_)->text().toStdString() : std::string();
    const auto chosen = ports_.selectedItems();
    portIndex_ = chosen.empty() ? -1 : ports_.row(chosen.front());
    QDialog::accept();
}

}  // namespace tessival

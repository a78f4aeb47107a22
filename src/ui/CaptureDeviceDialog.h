#pragma once

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <string>

#include "engine/GraphToolkit.h"

namespace tessival {

class Shell;

// "Select Capture Device": the audio capture devices and, for the selected one, its input
// lines. On OK it holds the device's name, its row (the index the capture item stores) and the
// chosen line's row (-1 when none was chosen). The dialog's graph holds the devices it showed
// lines for until the dialog goes.
class CaptureDeviceDialog : public QDialog {
public:
    explicit CaptureDeviceDialog(Shell& shell, QWidget* parent = nullptr,
                                 std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());
    ~CaptureDeviceDialog() override;

    const std::string& DeviceName() const { return deviceName_; }
    int DeviceIndex() const { return deviceIndex_; }
    int PortIndex() const { return portIndex_; }

    QListWidget& Devices() { return devices_; }
    QListWidget& Ports() { return ports_; }
    // Shown instead of the input lines when no device answered.
    const QLabel& Hint() const { return hint_; }

    void accept() override;

private:
    void FillDevices();
    void FillPorts(int device);

    GraphToolkit toolkit_;
    QLabel deviceLabel_;
    QListWidget devices_;
    QLabel portLabel_;
    QListWidget ports_;
    QLabel hint_;
    QPushButton ok_;
    QPushButton cancel_;
    std::string deviceName_;
    int deviceIndex_ = -1;
    int portIndex_ = -1;
};

}  // namespace tessival

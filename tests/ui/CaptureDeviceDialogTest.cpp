#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "WindowFixture.h"
#include "platform/shell/ScriptedShell.h"
#include "support/FakeCaptureSources.h"
#include "support/PulseServer.h"
#include "ui/CaptureDeviceDialog.h"
#include "ui/ControlId.h"

namespace tessival {
namespace {

std::vector<std::string> Rows(const QListWidget& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.count(); ++i) rows.push_back(list.item(i)->text().toStdString());
    return rows;
}

class CaptureDeviceDialogTest : public ::testing::Test, protected test::UsesApp {
protected:
    std::shared_ptr<test::FakeCaptureSources> sources_ = std::make_shared<test::FakeCaptureSources>();
    ScriptedShell shell_;
};

TEST_F(CaptureDeviceDialogTest, ShowsTheFirstDevicesLinesWithNoneChosenAndFollowsTheDevice) {
    CaptureDeviceDialog dialog(shell_, nullptr, test::RegistryWithDevices(sources_));
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Select Capture Device");
    auto& devices = *qobject_cast<QListWidget*>(FindControl(dialog, 1000));
    auto& ports = *qobject_cast<QListWidget*>(FindControl(dialog, 1002));
    EXPECT_EQ(Rows(devices), (std::vector<std::string>{"Sound Card", "Plain Source"}));
    EXPECT_EQ(devices.currentRow(), 0);
    EXPECT_EQ(Rows(ports), (std::vector<std::string>{"Microphone", "Line In", "CD"}));
    EXPECT_TRUE(ports.selectedItems().empty());

    devices.setCurrentRow(1);
    EXPECT_EQ(Rows(ports), (std::vector<std::string>{"Plain Source"}));
    devices.setCurrentRow(0);
    ports.item(2)->setSelected(true);
    qobject_cast<QPushButton*>(FindControl(dialog, IDOK))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.DeviceName(), "Sound Card");
    EXPECT_EQ(dialog.DeviceIndex(), 0);
    EXPECT_EQ(dialog.PortIndex(), 2);
    // Showing lines switches nothing: only a run selects a line.
    EXPECT_TRUE(sources_->switches.empty());
}

TEST_F(CaptureDeviceDialogTest, OkWithoutALineGivesMinusOne) {
    CaptureDeviceDialog dialog(shell_, nullptr, test::RegistryWithDevices(sources_));
    dialog.Devices().setCurrentRow(1);
    dialog.accept();
    EXPECT_EQ(dialog.DeviceName(), "Plain Source");
    EXPECT_EQ(dialog.DeviceIndex(), 1);
    EXPECT_EQ(dialog.PortIndex(), -1);
}

TEST_F(CaptureDeviceDialogTest, WithoutAServerBothListsAreEmpty) {
    test::NoPulseServer none;
    CaptureDeviceDialog dialog(shell_);
    EXPECT_EQ(dialog.Devices().count(), 0);
    EXPECT_EQ(dialog.Ports().count(), 0);
    dialog.accept();
    EXPECT_EQ(dialog.DeviceIndex(), -1);
    EXPECT_EQ(dialog.PortIndex(), -1);
    EXPECT_EQ(dialog.DeviceName(), "");
}

class FromCapturer : public test::WindowTest {};

TEST_F(FromCapturer, AddsTheChosenDeviceAndLineAsACaptureItem) {
    test::PulseServer server(440);
    ASSERT_TRUE(server.Running());
    test::WhenModal choose(test::WhenModal::Kind::Dialog, [](QWidget* window) {
        auto* dialog = dynamic_cast<CaptureDeviceDialog*>(window);
        if (!dialog) return;
        dialog->Devices().setCurrentRow(1);
        dialog->Ports().item(0)->setSelected(true);
        dialog->accept();
    });
    window.OnCommand(ID_ADD_FROM_CAPTURER);
    ASSERT_EQ(choose.Seen(), 1);
    ASSERT_EQ(window.itemList.Count(), 1u);
    const ConvertItem& item = *window.itemList.At(0);
    EXPECT_EQ(ReadField(item.sourceName), "Monitor of Null Output");
    EXPECT_EQ(ReadField(item.destName), "Monitor of Null Output");
    EXPECT_EQ(ReadField(item.sourceType), "CAP");
    EXPECT_EQ(ReadField(item.sourcePath), "");
    EXPECT_EQ(item.captureDevice, 1);
    EXPECT_EQ(item.captureInput, 0);
    ExpectRowsMatchItems();
}

TEST_F(FromCapturer, CancelOrNoDeviceAddsNothing) {
    test::NoPulseServer none;
    bool hinted = false;
    test::WhenModal ok(test::WhenModal::Kind::Dialog, [&hinted](QWidget* window) {
        if (auto* dialog = dynamic_cast<CaptureDeviceDialog*>(window)) {
            // Without a server the dialog says why it is empty and how to start one.
            hinted = dialog->Hint().isVisible() && !dialog->Ports().isVisible() &&
                     dialog->Hint().text().contains(QStringLiteral("systemctl --user start pipewire-pulse"));
            dialog->accept();
        }
    });
    window.OnCommand(ID_ADD_FROM_CAPTURER);
    EXPECT_EQ(ok.Seen(), 1);
    EXPECT_TRUE(hinted);
    EXPECT_EQ(window.itemList.Count(), 0u);
}

}  // namespace
}  // namespace tessival

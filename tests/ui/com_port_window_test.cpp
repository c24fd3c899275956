#include <filesystem>
#include <string>

#include "base/gui_numbers.h"
#include "base/system_settings.h"
#include "e2e/sim_process.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "main_window_fixture.h"
#include "ui/com_port_window.h"

namespace {

using namespace gui;

std::string settingsText() {
    return testsupport::readFile("settings/system_settings.txt");
}

void press(int control) {
    platform::postControlEvent(control);
    comPortWindowPass();
}

TEST_F(MainWindowTest, UpdateAndSaveStoresOnlyARealPortNumber) {
    ASSERT_TRUE(buildComPortWindow());
    EXPECT_EQ(platform::windowTitle(comPortWindow), "COM port select");
    EXPECT_EQ(platform::controlText(controlComPortShownMethod1), "COM 0");
    EXPECT_EQ(platform::controlText(controlComPortFound), "nothing selected - scan first");
    EXPECT_EQ(platform::controlItemCount(controlComPortAll), 99);
    const std::string before = settingsText();

    press(controlComPortUpdateMethod1);
    EXPECT_EQ(settingsText(), before);
    EXPECT_EQ(systemSettings.comPortNumber, 0);

    platform::setControlState(controlComPortAll, 98);
    press(controlComPortUpdateMethod2);
    EXPECT_EQ(systemSettings.comPortNumber, 99);
    EXPECT_NE(settingsText().find("\r\nKRV_ComPort=99\r\n"), std::string::npos);
    EXPECT_EQ(platform::controlText(controlComPortShownMethod1), "COM 99");
    EXPECT_EQ(platform::controlText(controlComPortShownMethod2), "COM 99");

    // Update + Save stops a running scan.
    press(controlComPortScan);
    EXPECT_EQ(comPortScan.scanStep, 2);
    EXPECT_EQ(platform::controlText(controlComPortScanStatus), "Setting up COM port scanning...");
    press(controlComPortUpdateMethod2);
    EXPECT_EQ(comPortScan.scanStep, 0);

    // The window closes on its close button, or when the user clicks another of the program's windows.
    platform::postCloseEvent(comPortWindow);
    EXPECT_FALSE(comPortWindowPass());
    platform::postWindowEvent(platform::EventDeactivateWindow, comPortWindow);
    platform::overrideActiveWindow(0); // another program: stays open
    EXPECT_TRUE(comPortWindowPass());
    platform::overrideActiveWindow(1);
    EXPECT_FALSE(comPortWindowPass());
}

// Scans the last three ports, where ports/COM98 is a second name of the virtual instrument's port.
void scanFromPort97() {
    platform::postControlEvent(controlComPortScan);
    while (comPortScan.scanStep != 3) comPortWindowPass();
    comPortScan.scanPort = 97;
    while (comPortScan.scanStep != 0) comPortWindowPass();
}

TEST_F(MainWindowTest, ScanCountsThePortHeldByTheLinkAsFailedAndLeavesTheLinkAlone) {
    SimProcess sim;
    ASSERT_TRUE(sim.start({}));
    const std::string port = "ports/COM" + std::to_string(simPort);
    std::filesystem::create_symlink(std::filesystem::read_symlink(port), "ports/COM98");
    systemSettings.comPortNumber = simPort;
    click(controlConnectButton);
    ASSERT_TRUE(instrumentLinkConnected());

    ASSERT_TRUE(buildComPortWindow());
    scanFromPort97();
    EXPECT_EQ(platform::controlItemCount(controlComPortFound), 0);
    EXPECT_EQ(platform::controlText(controlComPortScanStatus), "...scanning now complete");
    // The link kept receiving while the window ran its own loop.
    const std::int64_t stored = commsState.reportsStored.load();
    ASSERT_TRUE(runUntil([&] { return commsState.reportsStored.load() > stored + 1; }, 2000));
    EXPECT_TRUE(instrumentLinkConnected());

    click(controlConnectButton); // disconnect: now the port opens
    ASSERT_FALSE(instrumentLinkConnected());
    scanFromPort97();
    ASSERT_EQ(platform::controlItemCount(controlComPortFound), 1);
    EXPECT_EQ(platform::controlText(controlComPortFound), "COM 98");
    platform::closeWindow(comPortWindow);

    // The probe left the instrument's port usable.
    click(controlConnectButton);
    ASSERT_TRUE(instrumentLinkConnected());
    const std::int64_t again = commsState.reportsStored.load();
    EXPECT_TRUE(runUntil([&] { return commsState.reportsStored.load() > again + 1; }, 2000));
    resetInstrumentLinkDefaults();
    sim.stop();
}

} // namespace

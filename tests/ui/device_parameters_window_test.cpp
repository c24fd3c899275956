// The Device Parameters window over the running program: its table of the displayed run, the kind
// override it shares with the panel, and the table copied as tab-separated text.
#include <cstdlib>
#include <string>
#include <vector>

#include "base/gui_numbers.h"
#include "display/cursor_actions.h"
#include "display/graph.h"
#include "display/parameter_box.h"
#include "display/run_analysis.h"
#include "main_window_fixture.h"
#include "results/sample_runs.h"
#include "support/traced_family.h"
#include "ui/device_parameters_window.h"

namespace {

using namespace gui;

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + separator.size())
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

class DeviceParametersWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        testsupport::traceFamily(sampleRunRecord, {});
        const char* settings[] = {"I", "13", "270", "0.05", "0.00001", "0", "0.1", "0", "6"};
        for (int c = 12; c <= 20; ++c) sampleRuns.sampleRunParameters[static_cast<std::size_t>(c)] = settings[c - 12];
        requestGraphRedraw();
        passes(2);
    }
    void press(int control, int type = platform::ControlLeftClick) {
        platform::postControlEvent(control, type);
        EXPECT_TRUE(deviceParametersWindowPass());
    }
};

TEST_F(DeviceParametersWindowTest, ListsEveryRowAndCopiesThemAsTabSeparatedText) {
    cursors.cursorXA = 5.0;
    ASSERT_TRUE(buildDeviceParametersWindow());
    EXPECT_EQ(platform::windowTitle(windowDeviceParameters), "Device Parameters");
    EXPECT_EQ(platform::controlText(controlParametersInferred), "Inferred: NPN");
    EXPECT_EQ(platform::controlText(controlParametersKind), "auto");

    const std::vector<DeviceParameterRow> rows = deviceParameterRows();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows.front().value, "NPN (auto)");
    EXPECT_EQ(rows.back().name, "Model card");
    EXPECT_EQ(platform::controlItemCount(controlParametersTable), static_cast<int>(rows.size()) + 1); // + heading
    EXPECT_EQ(platform::controlText(controlParametersCard), rows.back().value);
    for (const DeviceParameterRow& row : rows) {
        EXPECT_EQ(row.value.find("nan"), std::string::npos) << row.name;
        EXPECT_EQ(row.value.find("inf"), std::string::npos) << row.name;
    }

    press(controlParametersCopy);
    const std::string copied = platform::clipboardText();
    EXPECT_EQ(copied, deviceParameterTableText(rows));
    std::vector<std::string> lines = split(copied, "\r\n");
    ASSERT_EQ(lines.back(), ""); // every line ends with CR LF
    lines.pop_back();
    ASSERT_EQ(lines.size(), rows.size() + 1);
    EXPECT_EQ(lines[0], "Parameter\tKey\tStep\tValue\tFit R2");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<std::string> fields = split(lines[i + 1], "\t");
        ASSERT_EQ(fields.size(), 5u) << lines[i + 1];
        EXPECT_EQ(fields[0], rows[i].name);
        EXPECT_EQ(fields[1], rows[i].key);
        EXPECT_EQ(fields[3], rows[i].value);
    }
    // The operating point rows belong to the step the panel shows.
    const OperatingPointReading reading = readDisplayedOperatingPoint();
    for (const DeviceParameterRow& row : rows)
        if (row.key.rfind("xa_", 0) == 0) {
            EXPECT_EQ(row.step, std::to_string(reading.step)) << row.key;
        }
    // Every curve of the family crosses 5 V.
    for (const DeviceParameterRow& row : rows)
        if (row.key == "xa_vc") {
            EXPECT_NE(row.value, "-");
        }
    EXPECT_EQ(platform::controlText(controlParametersCopyStatus), "Copied " + std::to_string(rows.size()) + " rows");
    if (const char* folder = std::getenv("KRV_WINDOW_PICTURES")) {
        for (int i = 0; i < 50; ++i) platform::waitEvent(2); // let the window system draw first
        EXPECT_TRUE(platform::writePng(platform::grabWindow(windowDeviceParameters),
                                       std::string(folder) + "/device_parameters_window.png"));
    }

    platform::postCloseEvent(windowDeviceParameters);
    EXPECT_FALSE(deviceParametersWindowPass());
}

TEST_F(DeviceParametersWindowTest, ChosenKindReachesTheTableAndThePanel) {
    ASSERT_TRUE(buildDeviceParametersWindow());
    platform::setControlState(controlParametersKind, static_cast<int>(DeviceKind::NmosEnhancement));
    graphRefresh.redrawRequested = 0;
    press(controlParametersKind, platform::ControlChange);
    EXPECT_EQ(runAnalysisChoice.kindOverride, DeviceKind::NmosEnhancement);
    EXPECT_EQ(graphRefresh.redrawRequested, 1);
    EXPECT_EQ(platform::controlText(controlParametersInferred), "Inferred: NPN");
    const std::vector<DeviceParameterRow> rows = deviceParameterRows();
    EXPECT_EQ(rows.front().value, "NMOS-ENH (set)");
    bool gm = false;
    for (const DeviceParameterRow& row : rows) gm = gm || row.key == "xa_gm";
    EXPECT_TRUE(gm);

    platform::setControlState(controlParametersKind, 0);
    press(controlParametersKind, platform::ControlChange);
    EXPECT_EQ(runAnalysisChoice.kindOverride, DeviceKind::Unknown);
    EXPECT_EQ(deviceParameterRows().front().value, "NPN (auto)");
}

} // namespace

// Pictures of the three calibration windows for looking at: written to $KRV_WINDOW_PICTURES when set
// (run under a real X server), skipped otherwise.
#include <cstdlib>

#include "calibration/calibration_file.h"
#include "nominal_cal.h"
#include "ui/adc_dac_window_layout.h"
#include "ui/calibration_windows.h"
#include "calibration_window_fixture.h"

namespace {

class WindowPictures : public CalibrationWindowTest {
protected:
    std::string folder;
    void SetUp() override {
        const char* where = std::getenv("KRV_WINDOW_PICTURES");
        if (!where) GTEST_SKIP() << "KRV_WINDOW_PICTURES not set";
        folder = where;
        CalibrationWindowTest::SetUp();
        platform::readPng(std::string(KRV_SOURCE_DIR) + "/install/graphics/tick_green.png", tick);
        platform::readPng(std::string(KRV_SOURCE_DIR) + "/install/graphics/clock_black_19x19.png", clock);
        platform::setNumberedImage(452, tick);
        platform::setNumberedImage(453, clock);
    }
    platform::Image tick, clock;
    InProcessInstrument instrument;
    bool everyPassPump = false;
    void everyPass() override {
        if (everyPassPump) instrument.pump();
    }

    std::function<bool()> snap(int w, const char* name) {
        return [this, w, name] {
            // Let the window system draw first.
            for (int i = 0; i < 50; ++i) platform::waitEvent(2);
            EXPECT_TRUE(platform::writePng(platform::grabWindow(w), folder + "/" + name));
            return true;
        };
    }
};

TEST_F(WindowPictures, ThreeCalibrationWindows) {
    window = calwin::offsetWindow;
    script = {snap(window, "offset_parasitics_window.png")};
    openOffsetParasiticsWindow();

    window = calwin::factoryBoardWindow;
    script = {snap(window, "factory_board_window.png")};
    scriptStep = 0;
    openFactoryFixtureWindow();

    window = calwin::adcDacWindow;
    instrument.attach();
    instrumentLink.linkConnected.store(1);
    testsupport::writeFile(calibrationFileName, nominalCalibrationText());
    loadCalibrationFileFrom(calibrationFileName);
    script = {press(adcdac::defaultValuesButton), press(adcdac::levelButton + 4),
              waitFor([this] { return passes > 250; }), press(adcdac::calButton + 4),
              press(adcdac::uploadButton), waitFor([this] { return passes > 400; }), snap(window, "adc_dac_window.png")};
    scriptStep = 0;
    everyPassPump = true;
    openAdcDacCalibrationWindow();
}

} // namespace

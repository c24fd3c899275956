#include "app/control_dispatch.h"

#include <gtest/gtest.h>

#include <set>

#include "app/program_defaults.h"
#include "display/graph.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"
#include "test_support.h"
#include "platform/platform.h"

namespace {

class ControlDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::initPlatform();
        platform::resetPlatform();
        resetProgramDefaults();
    }
    void TearDown() override { platform::resetPlatform(); }
    testsupport::ScratchDirectory dir;
};

TEST_F(ControlDispatchTest, DutButtonsSelectTheirTypeAndAskForARedraw) {
    const struct {
        int control;
        const char* type;
    } cases[] = {{361, "NPN"}, {362, "PNP"}, {363, "NFET"}, {364, "PFET"}, {365, "DIODE"}, {366, "SCR"}};
    for (const auto& c : cases) {
        graphRefresh.redrawRequested = 0;
        EXPECT_TRUE(dispatchControlEvent(c.control));
        EXPECT_EQ(sweepParameters.dutType, c.type) << "control " << c.control;
        EXPECT_EQ(graphRefresh.redrawRequested, 1) << "control " << c.control;
    }
}

TEST_F(ControlDispatchTest, OnlyTheMainWindowsActiveControlsHaveHandlers) {
    const std::set<int> active = {273, 274, 278, 279, 318, 322, 323, 324, 325, 330, 331, 332, 336, 337, 338, 339,
                                  343, 344, 345, 346, 351, 352, 353, 355, 356, 358, 361, 362, 363, 364, 365, 366};
    for (int control = 270; control <= 470; ++control) {
        if (control == 273) continue; // the connection button would try to open a serial port
        EXPECT_EQ(dispatchControlEvent(control), active.count(control) == 1) << "control " << control;
    }
}

} // namespace

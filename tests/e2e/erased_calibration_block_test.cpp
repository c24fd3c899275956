// The whole program connecting to a virtual instrument whose calibration block was erased: the block
// is refused, KRV_cal.txt stays, and the status strip and the log say why.
#include "calibration/calibration_file.h"
#include "sweep/calibration_transfer.h"
#include "virtual_instrument.h"

namespace {

// The download takes over six minutes at one report per 250 ms poll, too long for every run of the
// suite: run it by hand with --gtest_also_run_disabled_tests.
TEST_F(ProgramOnSim, DISABLED_ErasedCalibrationBlockLeavesTheFileAsItWas) {
    const std::string before = testsupport::readFile("KRV_cal.txt");
    ASSERT_TRUE(sim.start({"--cal-block", "erased"}));
    connect();
    // Two passes of the 512-report block, one report per poll.
    ASSERT_TRUE(runUntil([] { return calibrationTransfer.state == 14; }, 400000));
    EXPECT_EQ(instrumentLink.commsStatusText, " OK, CAL#10.1(BadBlock)");
    EXPECT_EQ(testsupport::readFile("KRV_cal.txt"), before);
    EXPECT_NE(testsupport::readFile("log.txt").find("Calibration block in the instrument refused (line 1 is not a number): "
                                                    "KRV_cal.txt kept"),
              std::string::npos);
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

} // namespace

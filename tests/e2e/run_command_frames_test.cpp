// One engine: "krv650 run" sends the instrument exactly what a RUN click in the window sends.
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "results/test_setups.h"
#include "sweep/calibration_transfer.h"
#include "virtual_instrument.h"

TEST_F(ProgramOnSim, RunCommandSendsTheFramesOfARunClick) {
    // The window: connect, wait for the instrument's first answer, click RUN, wait for the end.
    ASSERT_TRUE(sim.start({"--speed", "25", "--log-frames", "window.log"}));
    // The start-up setup again: the fixture reset the sweep parameters after start-up loaded it.
    loadStartupTestSetup();
    connect();
    ASSERT_TRUE(runUntil([] { return calibrationTransfer.state != 0; }, 5000));
    press(278);
    ASSERT_TRUE(runUntil([] { return sweepControl.sweepState != SweepState::Idle; }, 2000));
    ASSERT_TRUE(runUntil([] { return sweepControl.sweepState == SweepState::Idle; }, 60000));
    ASSERT_EQ(sweepControl.statusText, "Run completed");
    resetInstrumentLinkDefaults();
    sim.stop();

    ASSERT_TRUE(sim.start({"--speed", "25", "--log-frames", "command.log"}));
    const int status = std::system("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" KRV_BINARY_DIR
                                   "/krv650' run </dev/null >out.txt 2>err.txt");
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << testsupport::readFile("err.txt");
    sim.stop();

    const std::string window = testsupport::readFile("window.log");
    // Connect transfer, then per step its levels with the run command (and the stop-code clearing).
    EXPECT_GT(window.size(), 200u);
    EXPECT_EQ(testsupport::readFile("command.log"), window);
}

// The program's own run preparation, register fill and transfers driving the virtual instrument:
// a whole sweep, a manual stop, and a calibration upload, the way the program sends them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calibration/calibration_coefficients.h"
#include "calibration/calibration_file.h"
#include "instrument.h"
#include "link/protocol.h"
#include "link/register_transfer.h"
#include "sim_host.h"
#include "support/logic_defaults.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"
#include "test_support.h"

namespace {

struct Sample {
    int phase = 0;
    int stopCode = 0;
    Readings readings;
};

class ProgramDrive : public ::testing::Test {
protected:
    void SetUp() override {
        resetLogicDefaults();
        resetSimInstrumentDefaults(sim);
        frameSender = [this](const std::uint8_t* bytes, std::size_t length) { simReceive(sim, bytes, length); };
        // The program's coefficients come from the block the instrument streams.
        const std::string block(sim.flash.begin(), sim.flash.end());
        fitCalibrationCoefficients(readCalibrationValues(block), calibrationCoefficients);
    }
    void TearDown() override { resetLogicDefaults(); }

    // The comms thread's part: a poll every 250 ms, every report taken and converted as the loop tick does.
    std::vector<Sample> runFor(int milliseconds, bool untilStopCode) {
        std::vector<Sample> samples;
        for (int ms = 0; ms < milliseconds; ++ms) {
            if ((elapsedMs++ % 250) == 0) simReceive(sim, buildReadRequestFrame().data(), frameSize);
            simAdvance(sim, 1000);
            const std::vector<uint8_t> bytes = simTakeOutput(sim);
            for (std::size_t at = 0; at + reportSize <= bytes.size(); at += reportSize) {
                const DecodedReport d = decodeReport(bytes.data() + at);
                EXPECT_TRUE(d.checksumOk);
                lastStatus = d.report.statusWord;
                samples.push_back({static_cast<int>(lastStatus & 3), static_cast<int>((lastStatus >> 4) & 15),
                                   convertReport(d.report, instrumentValues.sampleCounts, sweepParameters.collectorResistor)});
            }
            if (untilStopCode && !samples.empty() && samples.back().stopCode != 0) break;
        }
        return samples;
    }

    void connect() {
        transferRequests.connectInitPending = 1;
        instrumentValues.runCommand = "Idle";
        instrumentValues.startStopPulse = "Off";
        instrumentValues.hvCommand = "On";
        instrumentValues.idleDacCounts = instrumentValues.activeDacCounts = 0;
        sendRegisterImage();
        runFor(300, false);
    }

    // What the sweep state machine does between steps: clear a stop code and wait to see it cleared.
    void clearStopCode() {
        if (((lastStatus >> 4) & 15) == 0) return;
        registerImage[regControl] |= controlClearStopCode;
        writeRegister(regControl);
        registerImage[regControl] &= ~static_cast<std::int64_t>(controlClearStopCode);
        for (int i = 0; i < 1000 && ((lastStatus >> 4) & 15) != 0; ++i) runFor(1, false);
        ASSERT_EQ((lastStatus >> 4) & 15, 0);
    }

    SimInstrument sim;
    testsupport::ScratchDirectory scratch;
    int64_t elapsedMs = 0;
    int64_t lastStatus = 0;
};

TEST_F(ProgramDrive, DefaultNpnSweepRunsEveryStepToItsLimit) {
    applyDutType("NPN");
    updateAutomaticResistor();
    connect();
    prepareRun();
    ASSERT_EQ(instrumentValues.lastStepIndex, 6);
    const double earlyFactor = 1 + 5.0 / 80; // the model's Early voltage, at 5 V
    for (int k = 0; k <= 6; ++k) {
        SCOPED_TRACE(k);
        clearStopCode();
        prepareStep(k);
        sendRegisterImage();
        const std::vector<Sample> samples = runFor(20000, true);
        ASSERT_FALSE(samples.empty());
        int preparing = 0, ramping = 0;
        for (const Sample& s : samples) {
            preparing += s.phase == 1;
            ramping += s.phase == 2;
        }
        EXPECT_EQ(preparing, instrumentValues.rampStartDelay);
        EXPECT_GT(ramping, 40);
        const int code = samples.back().stopCode;
        EXPECT_TRUE(code == 4 || code == 6) << code;
        // The reading at 5 V: hFE 150 on the step's base current, and a forward-biased base.
        for (const Sample& s : samples) {
            if (s.phase != 2 || s.readings.vc < 5.0) continue;
            const double baseAmps = instrumentValues.stepTable[static_cast<std::size_t>(k)].stepLevel;
            EXPECT_NEAR(s.readings.ic, 150 * baseAmps * earlyFactor + 5.0 / 563600, 0.05 * 150 * baseAmps + 2e-5);
            if (k > 0) {
                EXPECT_NEAR(s.readings.vb, 0.026 * std::log(150 * baseAmps / 1e-14), 0.01);
            }
            break;
        }
    }
    EXPECT_EQ(sim.sync.badFrames, 0u);
    EXPECT_EQ(sim.ignoredFrames, 0u);
}

TEST_F(ProgramDrive, StopButtonEndsTheRampWithAManualStop) {
    applyDutType("NPN");
    updateAutomaticResistor();
    connect();
    prepareRun();
    prepareStep(3);
    sendRegisterImage();
    EXPECT_EQ(runFor(1500, true).back().phase, 2);
    instrumentValues.runCommand = "Stop";
    sendRegisterImage();
    const std::vector<Sample> after = runFor(100, true);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.back().stopCode, 1);
}

TEST_F(ProgramDrive, EraseAndUploadStoreTheFileByteForByte) {
    connect();
    CalibrationTexts texts = nominalCalibrationTexts();
    texts[0] = "9.987";
    texts[70] = "-1351234";
    const std::string file = calibrationFileContent(texts);
    ASSERT_EQ(file.size(), 1024u);
    requestCalibrationErase();
    sendRegisterImage();
    for (std::size_t address = 0; address < 1024; address += 4) {
        requestCalibrationWordWrite(static_cast<std::int64_t>(address), reinterpret_cast<const std::uint8_t*>(file.data() + address));
        sendRegisterImage();
    }
    EXPECT_EQ(std::string(sim.flash.begin(), sim.flash.end()), file);
}

} // namespace

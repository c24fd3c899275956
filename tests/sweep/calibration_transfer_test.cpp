// The calibration block download and compare, fed by the virtual instrument's report stream through
// the report ring and the loop tick, as after a start and a connect.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/loop_tick.h"
#include "calibration/calibration_file.h"
#include "instrument.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "link/protocol.h"
#include "link/register_transfer.h"
#include "nominal_cal.h"
#include "support/logic_defaults.h"
#include "support/recalibrated_block.h"
#include "sweep/calibration_transfer.h"
#include "sweep/sweep_state_machine.h"
#include "test_support.h"
#include "platform/platform.h"

namespace {

using testsupport::readFile;
using testsupport::writeFile;

class CalibrationTransferTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory scratch;
    SimInstrument sim;
    std::vector<std::int64_t> states{0};
    std::vector<std::string> statusTexts;

    void SetUp() override {
        platform::initPlatform();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
        platform::clearRecordedDialogs();
        resetInstrumentLinkDefaults();
        resetCommsDefaults();
        resetSweepStateMachineDefaults();
        resetLogicDefaults();
        resetCalibrationTransferDefaults();
        resetSimInstrumentDefaults(sim);
        // No comms thread runs: the test stands in for it and puts each answer to a poll into the ring.
        reportRing.ringWriterAck.store(1);
    }
    void TearDown() override {
        platform::removeDialogRecorder();
        resetInstrumentLinkDefaults();
    }

    std::string block() const { return std::string(sim.flash.begin(), sim.flash.end()); }

    // One poll answered by the instrument, taken by one loop tick; the state walked is recorded.
    void poll() {
        const Frame request = buildReadRequestFrame();
        const std::vector<std::uint8_t> answer = simExchange(sim, std::vector<std::uint8_t>(request.begin(), request.end()));
        ASSERT_EQ(answer.size(), reportSize);
        const DecodedReport decoded = decodeReport(answer.data());
        ASSERT_TRUE(decoded.checksumOk);
        storeReportInRing(decoded.report);
        loopTick();
        if (calibrationTransfer.state != states.back()) states.push_back(calibrationTransfer.state);
        if (statusTexts.empty() || statusTexts.back() != instrumentLink.commsStatusText)
            statusTexts.push_back(instrumentLink.commsStatusText);
    }
    int pollUntilDone(int limit = 6000) {
        int reports = 0;
        while (calibrationTransfer.state != 14 && reports < limit) {
            poll();
            ++reports;
        }
        return reports;
    }
};

const std::vector<std::int64_t> walkWhenEqual = {0, 1, 2, 3, 5, 6, 8, 9, 11, 13, 14};

TEST_F(CalibrationTransferTest, FileEqualToTheBlockIsKeptAndLoaded) {
    writeFile("KRV_cal.txt", block());
    const int reports = pollUntilDone();
    EXPECT_EQ(states, walkWhenEqual);
    EXPECT_EQ(readFile("KRV_cal.txt"), block());
    EXPECT_EQ(instrumentLink.commsStatusText, " OK");
    // States 0 and 1 take the stream's first two words, so state 2 waits 510 reports for the flag; then
    // two passes of 512, states 8, 9 and 11, and the 30 reports of state 13 with the one that finishes.
    EXPECT_EQ(reports, 2 + 510 + 512 + 512 + 3 + 31);
    EXPECT_NEAR(calibrationCoefficients.vcAdc.slope, 9.9 / 662000, 1e-12);
    const std::vector<std::string> expectedTexts = {
        " OK, CAL#0.0",          " OK, CAL#2.1(WaitSync1)", " OK, CAL#2.0(GotSync1)", " OK, CAL#3.0(PassDone1)",
        " OK, CAL#5.0(GotSync2)", " OK, CAL#6.0(PassDone2)", " OK, CAL#8.0(Comp1-2)",
        " OK, CAL#9.0(Comp1-File)", " OK, CAL#11(AllGood)",   " OK"};
    EXPECT_EQ(statusTexts, expectedTexts);
    // Finished: further reports change nothing.
    poll();
    EXPECT_EQ(calibrationTransfer.state, 14);
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

TEST_F(CalibrationTransferTest, DifferingOrMissingFileIsReplacedByTheBlockAndTheOldOneKept) {
    struct Case {
        const char* name;
        bool present;
        std::string content;
        std::string block; // empty: the instrument's nominal block
        const char* firstText;
    };
    CalibrationTexts edited = nominalCalibrationTexts();
    edited[46] = "9.95";
    const Case cases[] = {
        {"one line differs", true, calibrationFileContent(edited), "", " OK, CAL#0.0"},
        {"shorter than the block", true, nominalCalibrationText(), "", " OK, CAL#0.0"},
        {"instrument recalibrated", true, calibrationFileContent(nominalCalibrationTexts()),
         calibrationFileContent(recalibratedTexts()), " OK, CAL#0.0"},
        {"missing", false, "", "", " OK, CAL#0.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        std::filesystem::remove("KRV_cal.txt");
        std::filesystem::remove("KRV_cal.previous.txt");
        if (c.present) writeFile("KRV_cal.txt", c.content);
        if (!c.block.empty()) std::copy(c.block.begin(), c.block.end(), sim.flash.begin());
        states = {0};
        statusTexts.clear();
        pollUntilDone();
        std::vector<std::int64_t> expected = {0, 1, 2, 3, 5, 6, 8, 9, 10};
        expected.insert(expected.end(), walkWhenEqual.begin(), walkWhenEqual.end());
        EXPECT_EQ(states, expected);
        EXPECT_EQ(statusTexts.front(), c.firstText);
        EXPECT_NE(std::find(statusTexts.begin(), statusTexts.end(), " OK, CAL#9.1(CompFail)"), statusTexts.end());
        EXPECT_NE(std::find(statusTexts.begin(), statusTexts.end(), " OK, CAL#10(SaveNewCalFile)"), statusTexts.end());
        EXPECT_EQ(readFile("KRV_cal.txt"), block());
        // The file replaced is kept byte for byte; the placeholder made for a missing file is not.
        EXPECT_EQ(std::filesystem::exists("KRV_cal.previous.txt"), c.present);
        if (c.present) {
            EXPECT_EQ(readFile("KRV_cal.previous.txt"), c.content);
        }
        EXPECT_TRUE(platform::recordedDialogs().empty());
    }
    // The coefficients are the new block's.
    EXPECT_NEAR(calibrationCoefficients.vcAdc.slope, 9.9 / 662000, 1e-12);
}

TEST_F(CalibrationTransferTest, BlockNoWorkingInstrumentHoldsLeavesTheFileAndSaysWhy) {
    const std::string file = calibrationFileContent(nominalCalibrationTexts());
    const std::string recalibrated = calibrationFileContent(recalibratedTexts());
    std::string overwritten = file; // the recalibrated block uploaded without an erase: bits only cleared
    for (std::size_t i = 0; i < overwritten.size(); ++i) overwritten[i] = static_cast<char>(overwritten[i] & recalibrated[i]);
    CalibrationTexts swapped = nominalCalibrationTexts();
    std::swap(swapped[1], swapped[5]);
    const struct {
        const char* name;
        std::string block;
        const char* why;
    } cases[] = {
        {"erased", std::string(1024, '\xFF'), "line 1 is not a number"},
        {"uploaded without an erase", overwritten, "line 47 is not a number"},
        {"DAC counts swapped", calibrationFileContent(swapped), "Vb DAC active slope -258, expected about 258"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        std::filesystem::remove("KRV_cal.previous.txt");
        std::filesystem::remove("log.txt");
        writeFile("KRV_cal.txt", file);
        std::copy(c.block.begin(), c.block.end(), sim.flash.begin());
        calibrationCoefficients = CalibrationCoefficients{};
        states = {0};
        statusTexts.clear();
        pollUntilDone();
        EXPECT_EQ(states, (std::vector<std::int64_t>{0, 1, 2, 3, 5, 6, 8, 9, 10, 14}));
        EXPECT_EQ(instrumentLink.commsStatusText, " OK, CAL#10.1(BadBlock)");
        EXPECT_EQ(readFile("KRV_cal.txt"), file);
        EXPECT_FALSE(std::filesystem::exists("KRV_cal.previous.txt"));
        EXPECT_NE(readFile("log.txt").find(std::string("Calibration block in the instrument refused (") + c.why +
                                           "): KRV_cal.txt kept\r\n"),
                  std::string::npos)
            << readFile("log.txt");
        // The file's coefficients are in force.
        EXPECT_NEAR(calibrationCoefficients.vcAdc.slope, 9.9 / 662000, 1e-12);
        // Nothing more happens until the next connect.
        poll();
        EXPECT_EQ(calibrationTransfer.state, 14);
        EXPECT_TRUE(platform::recordedDialogs().empty());
    }
}

TEST_F(CalibrationTransferTest, PassesThatDisagreeAreBothTakenAgain) {
    writeFile("KRV_cal.txt", block());
    // The block changes while the first pass is being taken.
    while (calibrationTransfer.state != 3 || calibrationTransfer.index <= 702) poll();
    sim.flash[700] = '#';
    while (calibrationTransfer.state != 8) poll();
    poll();
    EXPECT_EQ(calibrationTransfer.state, 2);
    pollUntilDone();
    EXPECT_EQ(calibrationTransfer.state, 14);
    EXPECT_EQ(readFile("KRV_cal.txt"), block());
    EXPECT_EQ(readFile("KRV_cal.txt")[700], '#');
}

TEST_F(CalibrationTransferTest, WithoutSyncFlagTheTransferWaits) {
    writeFile("KRV_cal.txt", block());
    for (int i = 0; i < 600; ++i) {
        Report r;
        r.calibrationWord = 0x3031;
        storeReportInRing(r);
        loopTick();
    }
    EXPECT_EQ(calibrationTransfer.state, 2);
    EXPECT_EQ(instrumentLink.commsStatusText, " OK, CAL#2.1(WaitSync1)");
}

TEST_F(CalibrationTransferTest, EraseRequestUnlocksForExactlyOneTransfer) {
    std::vector<std::vector<std::uint8_t>> transfers;
    frameSender = [&](const std::uint8_t* bytes, std::size_t length) { transfers.emplace_back(bytes, bytes + length); };
    auto registerSent = [&](std::size_t transfer, int reg) {
        for (std::size_t at = 0; at + frameSize <= transfers[transfer].size(); at += frameSize) {
            const ParsedFrame f = parseFrame(transfers[transfer].data() + at);
            if (f.reg == reg) return f.value;
        }
        ADD_FAILURE() << "register " << reg << " not sent";
        return 0u;
    };
    requestCalibrationErase();
    sendRegisterImage();
    sendRegisterImage();
    ASSERT_EQ(transfers.size(), 2u);
    EXPECT_EQ(registerSent(0, regFlashCalLock), 51093u);
    EXPECT_NE(registerSent(0, regControl) & controlEraseCalibration, 0u);
    EXPECT_EQ(registerSent(1, regFlashCalLock), 0u);
    EXPECT_EQ(registerSent(1, regControl) & controlEraseCalibration, 0u);
}

} // namespace

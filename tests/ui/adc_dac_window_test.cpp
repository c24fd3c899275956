// The ADC/DAC calibration window on the in-process virtual instrument: level buttons and DAC
// adjustment, the Ic run capture rule, CREATE / ERASE / UPLOAD, and bad input.
#include <cmath>
#include <filesystem>

#include "base/elapsed_clock.h"
#include "calibration/calibration_file.h"
#include "nominal_cal.h"
#include "support/recalibrated_block.h"
#include "sweep/instrument_values.h"
#include "ui/adc_dac_window_layout.h"
#include "ui/calibration_windows.h"
#include "calibration_window_fixture.h"

namespace {

using namespace adcdac;

class AdcDacWindowTest : public CalibrationWindowTest {
protected:
    InProcessInstrument instrument;
    bool pumping = true;

    void SetUp() override {
        CalibrationWindowTest::SetUp();
        useInstrument(instrument);
    }
    void everyPass() override {
        if (pumping) instrument.pump();
    }

    static std::string field(int index) { return platform::controlText(coefficientField + index); }

    // The value register `reg` had in transfer `t`.
    std::uint32_t sent(std::size_t t, int reg) const {
        const std::vector<std::uint8_t>& bytes = instrument.transfers.at(t);
        for (std::size_t at = 0; at + frameSize <= bytes.size(); at += frameSize) {
            const ParsedFrame f = parseFrame(bytes.data() + at);
            if (f.reg == reg) return f.value;
        }
        ADD_FAILURE() << "register " << reg << " not in transfer " << t;
        return 0;
    }
    std::uint32_t lastSent(int reg) const { return sent(instrument.transfers.size() - 1, reg); }
};

TEST_F(AdcDacWindowTest, WithoutTheInstrumentTheUserIsToldAndTheWindowCloses) {
    instrumentLink.linkConnected.store(0);
    openAdcDacCalibrationWindow();
    ASSERT_EQ(platform::recordedDialogs().size(), 1u);
    EXPECT_EQ(platform::recordedDialogs()[0].body, "No USB detected - Please connect to device and retry");
    EXPECT_FALSE(platform::windowExists(calwin::adcDacWindow));
    EXPECT_TRUE(instrument.transfers.empty());
}

TEST_F(AdcDacWindowTest, DefaultValuesThenCreateGiveTheNominalCoefficients) {
    resetCalibrationDefaults();
    script = {press(defaultValuesButton), press(createButton)};
    openAdcDacCalibrationWindow();
    EXPECT_EQ(testsupport::readFile(calibrationFileName), calibrationFileContent(nominalCalibrationTexts()));
    // The coefficients describe the nominal instrument: its DAC counts and ADC scales.
    const CalibrationCoefficients& c = calibrationCoefficients;
    EXPECT_EQ(levelToDacCounts(10.0, DriveMode::Voltage, 3, DacLevel::Active), 5810);
    EXPECT_EQ(levelToDacCounts(-0.002, DriveMode::Current, 2, DacLevel::Idle), 1870);
    EXPECT_NEAR(rawToVolts(662000, c.vcAdc), rawVcToVolts(662000), 1e-9);
    for (int k = 0; k < 4; ++k) {
        const double amps = 0.5 * 0.003 * std::pow(10.0, k);
        EXPECT_NEAR(ampsToRawIc(amps, k) * c.icAdc[static_cast<std::size_t>(k)].slope + c.icAdc[static_cast<std::size_t>(k)].intercept,
                    amps, amps * 1e-9);
    }
    // Closing leaves the instrument stopped, pulsed and clamped on idle, and lets go of it.
    EXPECT_NE(lastSent(regControl) & controlStop, 0u);
    EXPECT_NE(lastSent(regControl) & controlClampOnIdle, 0u);
    EXPECT_NE(lastSent(regControl) & controlBaseGatePulsed, 0u);
    EXPECT_EQ(instrumentLink.linkConnected.load(), 0);
    EXPECT_EQ(calibrationTransfer.state, 0);
}

TEST_F(AdcDacWindowTest, LevelButtonsAndAdjustmentDriveBothDacRegisters) {
    const int plusTenActive = 0, plusTenIdle = 1, minusTwoMilliIdle = 6 + 7;
    std::size_t transfersBefore = 0;
    script = {
        press(defaultValuesButton),
        press(levelButton + minusTwoMilliIdle),
        check([this] {
            EXPECT_EQ(lastSent(regBaseGateDacIdleRaw), 1870u);
            EXPECT_EQ(lastSent(regBaseGateDacActiveRaw), 1870u);
            EXPECT_EQ(lastSent(regBaseGateMode), 1u);
            EXPECT_EQ(lastSent(regBaseCurrentRange), 2u);
            EXPECT_NE(lastSent(regControl) & controlBaseGateForceIdle, 0u);
            EXPECT_NE(lastSent(regControl) & controlClampForceOff, 0u);
            EXPECT_EQ(platform::controlText(rawField), "1870");
        }),
        press(levelButton + plusTenActive),
        press(adjustButton + 0), press(adjustButton + 1), press(adjustButton + 2), press(adjustButton + 5),
        check([this] { EXPECT_EQ(lastSent(regBaseGateDacActiveRaw), 5810u + 250 + 25 + 1 - 250); }),
        press(calButton + plusTenActive),
        // "Cal." of a row whose level was not set stores the value left from the row before.
        press(calButton + plusTenIdle),
        check([] {
            EXPECT_EQ(field(1), "5836");
            EXPECT_EQ(field(3), "5836");
        }),
        // The adjustment stops at the ends of the DAC range; a press that changes nothing sends nothing.
        check([] { platform::setControlText(coefficientField + 1, "65530"); }),
        press(levelButton + plusTenActive),
        press(adjustButton + 0),
        check([this, &transfersBefore] {
            EXPECT_EQ(lastSent(regBaseGateDacActiveRaw), 65535u);
            transfersBefore = instrument.transfers.size();
        }),
        press(adjustButton + 1),
        check([this, &transfersBefore] { EXPECT_EQ(instrument.transfers.size(), transfersBefore); }),
        check([] { platform::setControlText(coefficientField + 1, "20"); }),
        press(levelButton + plusTenActive),
        press(adjustButton + 4),
        check([this, &transfersBefore] {
            EXPECT_EQ(lastSent(regBaseGateDacActiveRaw), 0u);
            transfersBefore = instrument.transfers.size();
        }),
        press(adjustButton + 3),
        check([this, &transfersBefore] { EXPECT_EQ(instrument.transfers.size(), transfersBefore); }),
    };
    openAdcDacCalibrationWindow();
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

TEST_F(AdcDacWindowTest, IcRunCapturesOnlyBeyondTwentyVolts) {
    pumping = false;
    calibrationCoefficients.vcAdc = {0.5, 0.0}; // raw 40 is 20.0 V exactly
    auto report = [](std::int64_t rawVc, std::int64_t rawIc) {
        const std::int64_t n = instrumentValues.sampleCounts.vcIc;
        Report r;
        r.rawVc = rawVc * n;
        r.rawIc = rawIc * n;
        storeReportInRing(r);
        return true;
    };
    for (int i = 0; i < icRunCount; ++i) {
        SCOPED_TRACE(i);
        const IcRun& run = icRuns()[static_cast<std::size_t>(i)];
        const std::int64_t sign = run.negative ? -1 : 1;
        script = {
            press(icRunButton + i),
            check([this, &run] {
                EXPECT_NE(lastSent(regControl) & controlRun, 0u);
                EXPECT_NE(lastSent(regControl) & controlCollectorPulsed, 0u);
                EXPECT_EQ(lastSent(regCollectorResistorSelected), static_cast<std::uint32_t>(run.range));
                EXPECT_EQ(lastSent(regCollectorPolarity), run.negative ? 1u : 0u);
                EXPECT_EQ(lastSent(regRampStartDelay), 10u);
                EXPECT_EQ(lastSent(regHaltRunLength), 100u);
                EXPECT_EQ(static_cast<std::int32_t>(lastSent(regHaltCollectorVoltageMax)), 50);
            }),
            check([&] { report(sign * 40, 7); }),     // exactly ±20.0 V: no capture
            check([&] { report(-sign * 60, 7); }),    // beyond 20 V the other way: no capture
            check([&] { EXPECT_EQ(field(run.rawIcField), "-1"); }),
            check([&] { report(sign * 41, sign * 12345); }),
            check([&] {
                EXPECT_EQ(field(run.rawIcField), std::to_string(sign * 12345));
                EXPECT_EQ(field(run.rawVcField), std::to_string(sign * 41));
                EXPECT_NE(lastSent(regControl) & controlStop, 0u);
            }),
        };
        if (run.range == 3) script[4] = check([&] { EXPECT_EQ(field(run.rawIcField), "0"); });
        scriptStep = 0;
        passes = 0;
        instrumentLink.linkConnected.store(1);
        openAdcDacCalibrationWindow();
    }
}

TEST_F(AdcDacWindowTest, CalCapturesTheAverageOfTheLevelSetLast) {
    pumping = false;
    auto reports = [](int count, std::int64_t rawVb) {
        return check([count, rawVb] {
            const std::int64_t n = instrumentValues.sampleCounts.vb;
            for (int i = 0; i < count; ++i) { // the first few come before the level has settled
                Report r;
                r.rawVb = rawVb * n;
                storeReportInRing(r);
            }
        });
    };
    const int plusRow = 4, minusRow = 5;
    script = {press(levelButton + plusRow), reports(150, -1000)};
    for (int i = 0; i < 160; ++i) script.push_back(check([] {})); // one report per pass
    // Ten seconds at four reports a second: fewer than the hundred of a full average.
    script.push_back(press(levelButton + minusRow));
    script.push_back(reports(40, 1500));
    for (int i = 0; i < 45; ++i) script.push_back(check([] {}));
    script.push_back(press(calButton + minusRow));
    script.push_back(check([] { EXPECT_EQ(field(13), "1500"); }));
    // Once a full hundred are in, the average follows the level in hundreds as before.
    script.push_back(reports(100, 1500));
    for (int i = 0; i < 105; ++i) script.push_back(check([] {}));
    script.push_back(press(calButton + plusRow));
    script.push_back(check([] { EXPECT_EQ(field(10), "1500"); }));
    openAdcDacCalibrationWindow();
}

TEST_F(AdcDacWindowTest, UploadWritesEveryWordFiftyMillisecondsApart) {
    calibrationPacing.waitScale = 0.1;
    // A file copied back from an instrument: its text, then whatever the block held.
    std::string full = calibrationFileContent(recalibratedTexts());
    for (std::size_t i = full.find('\0'); i < full.size(); ++i) full[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    const struct {
        const char* name;
        bool present;
        std::string content;
        const char* refusal; // empty: uploaded
    } cases[] = {{"full block", true, full, ""},
                 {"short file", true, nominalCalibrationText(), ""},
                 {"missing file", false, "", "KRV_cal.txt not uploaded: line 1 is not a number"},
                 {"damaged file", true, full.substr(0, 301), "KRV_cal.txt not uploaded: line 45 is not a number"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::clearRecordedDialogs();
        std::filesystem::remove(calibrationFileName);
        if (c.present) testsupport::writeFile(calibrationFileName, c.content);
        instrument.transfers.clear();
        const std::string flashBefore(instrument.sim.flash.begin(), instrument.sim.flash.end());
        std::vector<std::int64_t> wordTimes;
        std::vector<std::uint32_t> addresses;
        frameSender = [&](const std::uint8_t* bytes, std::size_t length) {
            std::lock_guard<std::mutex> hold(instrument.lock);
            instrument.transfers.emplace_back(bytes, bytes + length);
            simReceive(instrument.sim, bytes, length);
            if ((sent(instrument.transfers.size() - 1, regControl) & controlWriteCalibrationWord) == 0) return;
            wordTimes.push_back(elapsedMilliseconds());
            addresses.push_back(sent(instrument.transfers.size() - 1, regFlashCalLock));
        };
        const bool refused = std::string(c.refusal) != "";
        script = {press(uploadButton), waitFor([&] { return refused || addresses.size() == 256; }), check([] {})};
        if (!refused) script.insert(script.begin(), press(eraseButton));
        scriptStep = 0;
        passes = 0;
        instrumentLink.linkConnected.store(1);
        openAdcDacCalibrationWindow();
        if (refused) {
            EXPECT_TRUE(addresses.empty());
            EXPECT_EQ(std::string(instrument.sim.flash.begin(), instrument.sim.flash.end()), flashBefore);
            ASSERT_EQ(platform::recordedDialogs().size(), 1u);
            EXPECT_EQ(platform::recordedDialogs()[0].body, c.refusal);
            continue;
        }
        ASSERT_EQ(addresses.size(), 256u);
        for (std::size_t w = 0; w < addresses.size(); ++w) EXPECT_EQ(addresses[w], 4 * w);
        for (std::size_t w = 1; w < wordTimes.size(); ++w) EXPECT_GE(wordTimes[w] - wordTimes[w - 1], pacedMs(50));
        std::string expected = c.content;
        expected.resize(1024, '\0');
        EXPECT_EQ(std::string(instrument.sim.flash.begin(), instrument.sim.flash.end()), expected);
        EXPECT_TRUE(platform::recordedDialogs().empty());
    }
}

TEST_F(AdcDacWindowTest, MissingFilesAndAbsentBenchAreReported) {
    std::filesystem::remove(calibrationFileName);
    script = {
        press(existingValuesButton),
        press(prepButton),
        press(goButton), // neither the meter nor the fixture is connected: nothing starts
        check([] { EXPECT_EQ(platform::controlText(goButton), "Go!"); }),
        press(dmmMeasure),
        check([] { EXPECT_EQ(field(0), "10.000"); }),
    };
    openAdcDacCalibrationWindow();
    const std::vector<std::string> titles = {"cannot find file", "prep.txt is missing", "Error"};
    EXPECT_EQ(dialogTitles(), titles);
    EXPECT_EQ(platform::recordedDialogs()[2].body, "DMM not connected");
}

TEST_F(AdcDacWindowTest, DacFieldsOutOfRangeAreClamped) {
    const struct {
        const char* text;
        std::uint32_t counts;
    } cases[] = {{"1e30", 65535}, {"70000", 65535}, {"-5", 0}, {"-1e300", 0}, {"garbage", 0}, {"812.9", 812}};
    for (const auto& c : cases) {
        script.push_back(type(coefficientField + 1, c.text));
        script.push_back(press(levelButton + 0));
        script.push_back(check([this, c] {
            EXPECT_EQ(lastSent(regBaseGateDacActiveRaw), c.counts) << c.text;
            EXPECT_EQ(lastSent(regBaseGateDacIdleRaw), c.counts) << c.text;
        }));
    }
    openAdcDacCalibrationWindow();
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

TEST_F(AdcDacWindowTest, IcRunThatNeverReachesItsVoltageEndsAndASecondIsRefused) {
    pumping = false; // the instrument reports nothing: the run cannot reach 20 V
    std::int64_t started = 0;
    script = {
        check([&started] { started = elapsedMilliseconds(); }),
        press(icRunButton + 0),
        press(icRunButton + 3),
        waitFor([this] { return (lastSent(regControl) & controlStop) != 0; }),
        check([&started] {
            EXPECT_GE(elapsedMilliseconds() - started, 15000);
            EXPECT_EQ(field(icRuns()[0].rawIcField), "-1");
            EXPECT_EQ(field(icRuns()[3].rawIcField), "-1");
        }),
    };
    openAdcDacCalibrationWindow();
    std::vector<std::string> bodies;
    for (const platform::RecordedDialog& d : platform::recordedDialogs()) bodies.push_back(d.body);
    const std::vector<std::string> expected = {"Ic run already in progress: wait for its tick",
                                               "+Ic run of 'RANGE1' did not reach +20 V within 15 s"};
    EXPECT_EQ(bodies, expected);
}

TEST_F(AdcDacWindowTest, EraseAndUploadWithoutTheInstrumentSaySoAndSendNothing) {
    std::size_t transfersBefore = 0;
    script = {
        check([this, &transfersBefore] {
            instrumentLink.linkConnected.store(0);
            transfersBefore = instrument.transfers.size();
        }),
        press(eraseButton),
        press(uploadButton),
        check([this, &transfersBefore] { EXPECT_EQ(instrument.transfers.size(), transfersBefore); }),
    };
    openAdcDacCalibrationWindow();
    ASSERT_EQ(platform::recordedDialogs().size(), 2u);
    for (const platform::RecordedDialog& d : platform::recordedDialogs())
        EXPECT_EQ(d.body, "No USB detected - Please connect to device and retry");
}

TEST_F(AdcDacWindowTest, CreateRefusesNumbersNoWorkingInstrumentGives) {
    const std::string before = testsupport::readFile(calibrationFileName);
    script = {press(defaultValuesButton), type(coefficientField + 1, "650"), type(coefficientField + 5, "5810"),
              press(createButton), press(defaultValuesButton), type(coefficientField + 52, "0"), press(createButton)};
    openAdcDacCalibrationWindow();
    EXPECT_EQ(testsupport::readFile(calibrationFileName), before);
    std::vector<std::string> bodies;
    for (const platform::RecordedDialog& d : platform::recordedDialogs()) bodies.push_back(d.body);
    const std::vector<std::string> expected = {"KRV_cal.txt not created: Vb DAC active slope -258, expected about 258",
                                               "KRV_cal.txt not created: Ic ADC range 0 slope 1.16e-09, expected about 5.78e-10"};
    EXPECT_EQ(bodies, expected);
}

} // namespace

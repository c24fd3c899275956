// A scratch installation for the results: the folders the program expects, an empty settings file,
// start-up values everywhere the results read, and message boxes answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>

#include "base/settings_file.h"
#include "base/system_settings.h"
#include "results/result_actions.h"
#include "sweep/instrument_values.h"
#include "sweep/run_record.h"
#include "sweep/sweep_parameters.h"
#include "test_support.h"
#include "platform/platform.h"

#include <sys/resource.h>

class ResultsTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory dir;

    void SetUp() override {
        for (const char* folder : {"settings", "sampleruns", "savedimages", "saveddata"})
            std::filesystem::create_directory(folder);
        testsupport::writeFile("settings/system_settings.txt", "");
        platform::initPlatform();
        platform::resetPlatform();
        platform::installDialogRecorder([this](const platform::RecordedDialog& d) { return answer(d); });
        resetSettingsFileDefaults();
        resetSystemSettingsDefaults();
        resetSweepParametersDefaults();
        resetInstrumentValuesDefaults();
        resetResultsDefaults();
        clearRunRecord(runRecord);
    }
    void TearDown() override {
        platform::removeDialogRecorder();
        platform::resetPlatform();
    }

    // What file dialogs return; message boxes are answered "ok".
    std::string dialogAnswer;
    std::string answer(const platform::RecordedDialog& d) { return d.kind == "message" ? "ok" : dialogAnswer; }

    static const std::vector<platform::RecordedDialog>& dialogs() { return platform::recordedDialogs(); }
    static std::string setting(const std::string& key) {
        findSettingValue(systemSettings.settingsFilePath, key);
        return settingsFile.settingFoundValue;
    }
};

// 14 March 2025, 15:30:45.
inline std::tm exampleTime() {
    std::tm t{};
    t.tm_year = 2025 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 14;
    t.tm_hour = 15;
    t.tm_min = 30;
    t.tm_sec = 45;
    return t;
}

// Fills `steps` steps of the run record with `first`, first + `increment` ... samples of distinct values.
inline void fillRunRecord(RunRecord& r, int steps, int first, int increment) {
    for (int s = 0; s < steps; ++s) {
        const int n = first + s * increment;
        r.entryCount[s] = n;
        for (int e = 1; e <= n; ++e) {
            r.VR[s][e] = 0.001 * e;
            r.VB[s][e] = 0.6 + 1e-5 * e;
            r.VC[s][e] = 13.0 * e / n;
            r.IC[s][e] = 1e-5 * (s + 1) * e / 3.0;
            r.TIB[s][e] = 1e-5 * s;
            r.TVB[s][e] = -0.25 * s;
        }
    }
}

// A file size limit makes every write past it fail, as a full disk does, whoever runs the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

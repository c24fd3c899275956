// The reference run from the menus: set from the displayed sample run, loaded from a file, cleared, and
// restored at start-up; its two settings keys appear only once the user sets them; files that cannot be
// a reference are refused with a message and take nothing away.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/menu_dispatch.h"
#include "app/reference_actions.h"
#include "app/settings_loader.h"
#include "base/gui_numbers.h"
#include "base/settings_file.h"
#include "base/system_settings.h"
#include "display/graph.h"
#include "display/reference_run.h"
#include "platform/platform.h"
#include "results/run_data_file.h"
#include "results/sample_runs.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"
#include "support/traced_family.h"
#include "test_support.h"
#include "working_folder_fixture.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

constexpr const char* settingsPath = "settings/system_settings.txt";

int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// A run data file of the current sweep parameters with a traced family.
void writeRunFile(const std::string& path, testsupport::TracedFamily family) {
    auto run = std::make_unique<RunRecord>();
    testsupport::traceFamily(*run, family);
    writeFile(path, runDataFileText(*run));
}

testsupport::TracedFamily npnWithGain(double hfe) {
    testsupport::TracedFamily f;
    f.part.forwardBeta = hfe;
    return f;
}

class ReferenceActionsTest : public WorkingFolderTest {
protected:
    void SetUp() override {
        setUpWorkingFolder("");
        settingsFile.separatorReadPauseMs = 0;
        loadSystemSettings(settingsPath);
        writeRunFile("sampleruns/0001.csv", npnWithGain(150));
        findSampleRuns();
        sampleRuns.sampleRunIndex = 1;
        ASSERT_TRUE(loadSampleRun());
    }
    std::string lastMessage() const {
        const auto& d = platform::recordedDialogs();
        for (auto it = d.rbegin(); it != d.rend(); ++it)
            if (it->kind == "message") return it->title + " " + it->body;
        return "";
    }
};

TEST_F(ReferenceActionsTest, KeysAreWrittenOnlyOnceTheUserSetsThem) {
    const std::string fresh = readFile(settingsPath);
    EXPECT_EQ(lineCount(fresh), 57);
    EXPECT_EQ(fresh.find("Reference"), std::string::npos);

    dispatchMenuEvent(gui::menuSetReference);
    ASSERT_TRUE(referenceShown());
    EXPECT_EQ(referenceRun.path, "sampleruns/0001.csv");
    EXPECT_NE(readFile(settingsPath).find("\r\nKRV_ReferenceRun=sampleruns/0001.csv\r\n"), std::string::npos);
    dispatchMenuEvent(gui::menuReferenceGrey);
    EXPECT_EQ(systemSettings.referenceGrey, "Yes");
    dispatchMenuEvent(gui::menuReferenceGrey);
    EXPECT_NE(readFile(settingsPath).find("\r\nKRV_ReferenceGrey=No\r\n"), std::string::npos);
    dispatchMenuEvent(gui::menuClearReference);
    EXPECT_FALSE(referenceShown());
    const std::string cleared = readFile(settingsPath);
    EXPECT_NE(cleared.find("\r\nKRV_ReferenceRun=\r\n"), std::string::npos);
    EXPECT_EQ(lineCount(cleared), 59);
    EXPECT_TRUE(platform::recordedDialogs().empty());

    // Read back at the next start.
    resetProgramDefaults();
    settingsFile.separatorReadPauseMs = 0;
    writeFile(settingsPath, fresh + "KRV_ReferenceRun=saveddata\\a.csv\r\nKRV_ReferenceGrey=Yes\r\n");
    loadSystemSettings(settingsPath);
    EXPECT_EQ(systemSettings.referenceRunPath, "saveddata\\a.csv");
    EXPECT_EQ(systemSettings.referenceGrey, "Yes");
    EXPECT_EQ(lineCount(readFile(settingsPath)), 59);
}

TEST_F(ReferenceActionsTest, FilesThatCannotBeAReferenceAreRefusedAndTheReferenceKept) {
    dispatchMenuEvent(gui::menuSetReference);
    const RunRecord* kept = referenceRun.record.get();
    writeFile("saveddata/notes.csv", "hello\r\n");
    writeFile("saveddata/empty.csv", std::string(runDataFileHeader) + "\r\n");
    applyDutType("PNP");
    testsupport::TracedFamily pnp;
    pnp.device = SimDevice::Pnp;
    pnp.stepLevel = -sweepParameters.currentStepSize;
    pnp.peakVolts = -13.0;
    pnp.steps = static_cast<int>(sweepParameters.stepCount) + 1;
    writeRunFile("saveddata/pnp.csv", pnp);
    struct Case {
        const char* file;
        const char* message;
    } cases[] = {{"saveddata/gone.csv", "Warning #xxxx Reference not loaded: saveddata/gone.csv cannot be read."},
                 {"saveddata/notes.csv", "Warning #xxxx Reference not loaded: saveddata/notes.csv is not a run data file."},
                 {"saveddata/empty.csv", "Warning #xxxx Reference not loaded: saveddata/empty.csv holds no curves."},
                 {"saveddata/pnp.csv", "Warning #xxxx Reference not loaded: saveddata/pnp.csv holds PNP curves, the "
                                       "graph shows NPN curves."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        platform::clearRecordedDialogs();
        EXPECT_FALSE(loadReferenceFrom(c.file));
        EXPECT_EQ(lastMessage(), c.message);
        EXPECT_EQ(referenceRun.record.get(), kept);
        EXPECT_EQ(systemSettings.referenceRunPath, "sampleruns/0001.csv");
    }
}

TEST_F(ReferenceActionsTest, LoadedFromTheDataFolderAndKeptWhenItsFileIsDeleted) {
    writeRunFile("saveddata/gain165.csv", npnWithGain(165));
    dialogAnswer = "saveddata/gain165.csv";
    dispatchMenuEvent(gui::menuLoadReference);
    const auto& dialogs = platform::recordedDialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].kind, "open");
    EXPECT_EQ(dialogs[0].body, "saveddata/");
    ASSERT_TRUE(referenceShown());
    EXPECT_EQ(referenceRun.kind, DeviceKind::Npn);
    EXPECT_EQ(systemSettings.referenceRunPath, "saveddata/gain165.csv");

    std::filesystem::remove("saveddata/gain165.csv");
    refreshGraph();
    EXPECT_TRUE(referenceShown());

    // Steps of other base currents pair with none of the displayed run's: loaded, with a note that the
    // comparison has nothing to show.
    testsupport::TracedFamily other = npnWithGain(150);
    other.stepOffset = 5e-6;
    sweepParameters.currentOffset = 5e-6;
    writeRunFile("saveddata/offset.csv", other);
    platform::clearRecordedDialogs();
    EXPECT_TRUE(loadReferenceFrom("saveddata/offset.csv"));
    EXPECT_EQ(lastMessage(), "Info #xxxx The reference and the displayed run have no step and voltage range in "
                             "common: the comparison shows \"-\".");
}

TEST_F(ReferenceActionsTest, StartUpRestoresTheReferenceOrClearsAMissingOneWithALogLine) {
    writeRunFile("saveddata/good.csv", npnWithGain(165));
    systemSettings.referenceRunPath = "saveddata\\good.csv";
    restoreReferenceRun();
    EXPECT_TRUE(referenceShown());

    clearReferenceRun();
    writeOrAddSetting(settingsPath, "KRV_ReferenceRun", "saveddata\\gone.csv");
    systemSettings.referenceRunPath = "saveddata\\gone.csv";
    restoreReferenceRun();
    EXPECT_FALSE(referenceShown());
    EXPECT_EQ(systemSettings.referenceRunPath, "");
    EXPECT_NE(readFile(settingsPath).find("\r\nKRV_ReferenceRun=\r\n"), std::string::npos);
    const std::string log = readFile("log.txt");
    EXPECT_EQ(lineCount(log), 1);
    EXPECT_NE(log.find("saveddata\\gone.csv"), std::string::npos);
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

} // namespace

namespace {

// During a run the live record is the reference; having no file, it is not remembered.
TEST_F(ReferenceActionsTest, TheLiveRunDuringASweepIsTakenWithoutAPath) {
    dispatchMenuEvent(gui::menuSetReference);
    testsupport::traceFamily(runRecord, npnWithGain(165));
    sweepControl.sweepState = SweepState::Sweeping;
    dispatchMenuEvent(gui::menuSetReference);
    sweepControl.sweepState = SweepState::Idle;
    ASSERT_TRUE(referenceShown());
    EXPECT_EQ(referenceRun.path, "");
    EXPECT_EQ(referenceRun.record->IC[3][200], runRecord.IC[3][200]);
    EXPECT_NE(readFile(settingsPath).find("\r\nKRV_ReferenceRun=\r\n"), std::string::npos);
}

} // namespace

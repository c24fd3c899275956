// The results as the shell reaches them: File menu items and the end of a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/menu_dispatch.h"
#include "app/program_defaults.h"
#include "app/run_completion.h"
#include "base/gui_numbers.h"
#include "base/system_settings.h"
#include "display/graph.h"
#include "display/displayed_run.h"
#include "display/run_analysis.h"
#include "results/file_names.h"
#include "results/result_saving.h"
#include "results/run_data_file.h"
#include "results/sample_runs.h"
#include "sweep/run_record.h"
#include "sweep/sweep_parameters.h"
#include "support/traced_family.h"
#include "test_support.h"
#include "platform/platform.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

class ResultMenusTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory dir;
    std::string dialogAnswer;

    void SetUp() override {
        for (const char* folder : {"settings", "sampleruns", "savedimages", "saveddata"})
            std::filesystem::create_directory(folder);
        writeFile("settings/system_settings.txt", "KRV_RunNumber=0000\r\nKRV_FileTestSetup=default.tsu\r\n");
        platform::initPlatform();
        platform::resetPlatform();
        platform::installDialogRecorder(
            [this](const platform::RecordedDialog& d) { return d.kind == "message" ? "ok" : dialogAnswer; });
        resetProgramDefaults();
        clearRunRecord(runRecord);
    }
    void TearDown() override {
        platform::removeDialogRecorder();
        platform::resetPlatform();
    }
};

TEST_F(ResultMenusTest, CompletedRunIsSavedThreeTimesAndShownAsTheNewestSampleRun) {
    runRecord.entryCount[2] = 3;
    runRecord.IC[2][3] = 0.0042;
    graphRefresh.redrawRequested = 0;
    finishCompletedRun();
    EXPECT_TRUE(std::filesystem::exists("sampleruns/0001.csv"));
    EXPECT_EQ(sampleRuns.sampleRunIndex, 1);
    EXPECT_EQ(sampleRunRecord.entryCount[2], 3);
    EXPECT_EQ(sampleRunRecord.IC[2][3], 0.0042);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("savedimages"), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("saveddata"), {}), 1);
    EXPECT_EQ(systemSettings.runNumber, "0001");
    EXPECT_EQ(graphRefresh.redrawRequested, 1);
    // The picture is drawn from the new sample run before it is saved, not left as it was during the run.
    const platform::Image* graph = platform::numberedImage(gui::imageGraph);
    const platform::Image* panel = platform::numberedImage(gui::imagePanel);
    ASSERT_TRUE(graph && panel);
    platform::Image saved;
    ASSERT_TRUE(platform::readPng((*std::filesystem::directory_iterator("savedimages")).path().string(), saved));
    EXPECT_EQ(saved.width(), graph->width() + panel->width());
    EXPECT_EQ(saved.height(), graph->height());

    systemSettings.autoSave = "No";
    finishCompletedRun();
    EXPECT_FALSE(std::filesystem::exists("sampleruns/0002.csv"));
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

TEST_F(ResultMenusTest, FileMenuSavesResultsAndTestSetups) {
    ASSERT_TRUE(dispatchMenuEvent(gui::menuSaveImageAndData));
    const std::string stem = resultNaming.fileStem;
    EXPECT_TRUE(std::filesystem::exists("savedimages/" + stem + ".png"));
    EXPECT_TRUE(std::filesystem::exists("saveddata/" + stem + ".csv"));

    sweepParameters.collectorPeakVoltage = 40;
    dialogAnswer = "mine.tsu";
    ASSERT_TRUE(dispatchMenuEvent(gui::menuSaveTestSetupAs));
    EXPECT_EQ(readFile("mine.tsu"), "KRV_CollectorPeakVoltage=40\r\nKRV_CollectorPeakCurrent=0.01\r\n"
                                    "KRV_CollectorPolarity=Positive\r\nKRV_CollectorPulseMode=Continuous\r\n");
    sweepParameters.collectorPeakVoltage = 5;
    ASSERT_TRUE(dispatchMenuEvent(gui::menuSaveTestSetup));
    EXPECT_NE(readFile("mine.tsu").find("KRV_CollectorPeakVoltage=5\r\n"), std::string::npos);
    sweepParameters.collectorPeakVoltage = 13;
    ASSERT_TRUE(dispatchMenuEvent(gui::menuOpenTestSetup));
    EXPECT_EQ(sweepParameters.collectorPeakVoltage, 5.0);
    EXPECT_TRUE(platform::recordedDialogs().size() == 2u); // the save and open dialogs, no message
}

// The completed run's model card goes beside its data file, the data file as the writer makes it; the
// menu item saves the card of the sample run on show under the same name, or says why there is none.
TEST_F(ResultMenusTest, ModelCardBesideTheDataFileAtAutoSaveAndOnRequest) {
    ASSERT_TRUE(dispatchMenuEvent(gui::menuSaveModelCard)); // nothing run or shown yet
    ASSERT_EQ(platform::recordedDialogs().size(), 1u);
    EXPECT_EQ(platform::recordedDialogs().front().title, "Info #xxxx");
    EXPECT_EQ(platform::recordedDialogs().front().body,
              "No model card saved: nothing could be fitted to the displayed run as UNKNOWN.");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("saveddata"), {}), 0);
    platform::clearRecordedDialogs();

    testsupport::traceFamily(runRecord, {});
    finishCompletedRun();
    const std::string stem = resultNaming.fileStem;
    EXPECT_EQ(readFile("saveddata/" + stem + ".csv"), runDataFileText(runRecord));
    const std::string card = modelCardFor(runRecord, currentRunColumns(), stem);
    ASSERT_FALSE(card.empty()) << "the virtual NPN's family gives a card";
    EXPECT_EQ(readFile("saveddata/" + stem + ".model"), card + "\r\n");
    EXPECT_TRUE(platform::recordedDialogs().empty());

    EXPECT_EQ(sampleRunDataStem(sampleRuns.sampleRunIndex), stem);
    EXPECT_EQ(sampleRunDataStem(7), "0007"); // saved before this session: named as its sample run
    std::filesystem::remove("saveddata/" + stem + ".model");
    ASSERT_TRUE(dispatchMenuEvent(gui::menuSaveModelCard));
    ASSERT_EQ(platform::recordedDialogs().size(), 1u);
    EXPECT_EQ(platform::recordedDialogs().front().title, "Info #xxxx");
    EXPECT_EQ(platform::recordedDialogs().front().body, "Model card saved as saveddata\\" + stem + ".model");
    // Read back from the sample-run file, so the fits may differ in the last digits.
    EXPECT_EQ(readFile("saveddata/" + stem + ".model"), modelCardFor(displayedRun.run, displayedRunColumns(), stem) + "\r\n");

    // Without the data folder the card's failure is told as well as the data file's.
    std::filesystem::remove_all("saveddata");
    platform::clearRecordedDialogs();
    finishCompletedRun();
    ASSERT_EQ(platform::recordedDialogs().size(), 2u);
    EXPECT_EQ(platform::recordedDialogs()[1].title, "Warning #xxxx");
    EXPECT_EQ(platform::recordedDialogs()[1].body.rfind("Model card not saved: saveddata\\" + resultNaming.fileStem + ".model (", 0), 0u)
        << platform::recordedDialogs()[1].body;
}

} // namespace

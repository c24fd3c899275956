#include "results/result_saving.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>

#include "base/gui_numbers.h"
#include "results/file_names.h"
#include "results/result_picture.h"
#include "results/sample_runs.h"
#include "results_fixture.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

class ResultSavingTest : public ResultsTest {
protected:
    void SetUp() override {
        ResultsTest::SetUp();
        writeFile("settings/system_settings.txt", "KRV_RunNumber=0000\r\n");
    }
    static platform::Image readPicture(const std::string& path) {
        platform::Image image;
        EXPECT_TRUE(platform::readPng(path, image)) << path;
        return image;
    }
};

const platform::Rgb red = platform::rgb(255, 0, 0);
const platform::Rgb blue = platform::rgb(0, 0, 255);

TEST_F(ResultSavingTest, SaveWritesPictureAndDataUnderOneNameThenAdvancesTheRunNumber) {
    platform::setNumberedImage(gui::imageGraph, platform::Image(100, 50, red));
    platform::setNumberedImage(gui::imagePanel, platform::Image(30, 40, blue));
    runRecord.entryCount[0] = 4;
    saveResultsNow();
    const std::string stem = resultNaming.fileStem;
    EXPECT_TRUE(std::regex_match(stem, std::regex("Sample_20[0-9]{6}_[0-2][0-9][0-5][0-9][0-5][0-9]_0000"))) << stem;
    std::filesystem::copy_file("savedimages/" + stem + ".png", KRV_BINARY_DIR "/saved_result_picture.png",
                               std::filesystem::copy_options::overwrite_existing);
    const platform::Image picture = readPicture("savedimages/" + stem + ".png");
    EXPECT_EQ(picture.width(), 130);
    EXPECT_EQ(picture.height(), 50);
    EXPECT_EQ(picture.pixel(99, 49), red);
    EXPECT_EQ(picture.pixel(100, 0), blue);
    EXPECT_EQ(picture.pixel(129, 39), blue);
    EXPECT_EQ(picture.pixel(129, 40), platform::rgb(0, 0, 0)); // below the shorter panel
    const std::string data = readFile("saveddata/" + stem + ".csv");
    EXPECT_EQ(std::count(data.begin(), data.end(), '\n'), 30); // header, 5 lines of step 0, entry 0 of 24 steps
    EXPECT_EQ(systemSettings.runNumber, "0001");
    EXPECT_EQ(setting("KRV_RunNumber"), "0001");
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(ResultSavingTest, PictureUsesWhateverImageExists) {
    EXPECT_EQ(composeResultPicture().width(), 640); // nothing drawn yet: a black area
    EXPECT_EQ(composeResultPicture().pixel(0, 0), platform::rgb(0, 0, 0));
    platform::setNumberedImage(gui::imagePanel, platform::Image(30, 40, blue));
    EXPECT_EQ(composeResultPicture().width(), 30);
    platform::setNumberedImage(gui::imageGraph, platform::Image(100, 50, red));
    platform::setNumberedImage(gui::imagePanel, platform::Image());
    EXPECT_EQ(composeResultPicture().width(), 100);
    EXPECT_EQ(composeResultPicture().pixel(5, 5), red);
}

TEST_F(ResultSavingTest, UnwritableFolderSaysWhichFileFailedAndStillSavesTheRest) {
    writeFile("blocker", "");
    systemSettings.saveImageFileLocation = "blocker\\";
    saveResultsNow();
    const std::string stem = resultNaming.fileStem;
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].title, "Warning #xxxx");
    EXPECT_EQ(dialogs()[0].body, "Results not saved: blocker\\" + stem +
                                     ".png (Not a directory). Any older file of the same name is unchanged.");
    EXPECT_TRUE(std::filesystem::exists("saveddata/" + stem + ".csv"));
    EXPECT_NE(readFile("log.txt").find("Results not saved: blocker"), std::string::npos);

    platform::clearRecordedDialogs();
    systemSettings.saveDataFileLocation = "missing\\";
    writeFile("blocker2", "");
    autoSaveRun();
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_NE(dialogs()[0].body.find(".png (Not a directory); missing\\"), std::string::npos) << dialogs()[0].body;
    EXPECT_TRUE(std::filesystem::exists("sampleruns/0001.csv")); // the sample-run copy is kept
}

TEST_F(ResultSavingTest, FullDiskKeepsTheOlderPictureAndSampleRunUntouched) {
    platform::setNumberedImage(gui::imageGraph, platform::Image(400, 300, red));
    systemSettings.appendTime = "No";
    systemSettings.appendRunNumber = "No";
    saveResultsNow();
    const std::string picturePath = "savedimages/" + resultNaming.fileStem + ".png";
    const std::string older = readFile(picturePath);
    writeFile("sampleruns/0003.csv", "older sample run");
    sampleRuns.sampleRunCount = 2;
    fillRunRecord(runRecord, 3, 1000, 0);
    platform::setNumberedImage(gui::imageGraph, platform::Image(400, 300, blue));
    {
        FileSizeLimit limit(100);
        autoSaveRun();
    }
    EXPECT_TRUE(readFile(picturePath) == older);
    EXPECT_EQ(readFile("sampleruns/0003.csv"), "older sample run");
    EXPECT_EQ(sampleRuns.sampleRunCount, 2); // the copy that failed is not counted
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("savedimages"), {}), 1);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_NE(dialogs()[0].body.find("sampleruns/0003.csv (File too large); savedimages\\"), std::string::npos)
        << dialogs()[0].body;
}

} // namespace

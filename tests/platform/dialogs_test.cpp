#include "platform_fixture.h"

using namespace platform;

TEST_F(PlatformTest, RecorderAnswersAndRecordsDialogs) {
    installDialogRecorder([](const RecordedDialog& dialog) -> std::string {
        if (dialog.kind == "open") return "setups/mine.tsu";
        return dialog.buttons == ButtonsYesNo ? "yes" : "ok";
    });
    EXPECT_EQ(messageBox("File Not Saved", "You are not allowed", IconWarning, ButtonsOk), AnswerOk);
    EXPECT_EQ(messageBox("Update", "Download?", IconInformation, ButtonsYesNo), AnswerYes);
    EXPECT_EQ(openFileDialog("Please choose file to load", "default.tsu", "Test Setup (*.tsu)|*.tsu"),
              "setups/mine.tsu");
    EXPECT_TRUE(openUrl("https://example.invalid/download"));

    const auto& recorded = recordedDialogs();
    ASSERT_EQ(recorded.size(), 4u);
    EXPECT_EQ(recorded[0].kind, "message");
    EXPECT_EQ(recorded[0].title, "File Not Saved");
    EXPECT_EQ(recorded[0].body, "You are not allowed");
    EXPECT_EQ(recorded[0].icon, IconWarning);
    EXPECT_EQ(recorded[1].buttons, ButtonsYesNo);
    EXPECT_EQ(recorded[2].kind, "open");
    EXPECT_EQ(recorded[2].body, "default.tsu");
    EXPECT_EQ(recorded[3].kind, "url");

    clearRecordedDialogs();
    EXPECT_TRUE(recordedDialogs().empty());
}

TEST_F(PlatformTest, UnrecognisedAnswerToAQuestionIsNo) {
    installDialogRecorder([](const RecordedDialog&) { return std::string("maybe"); });
    EXPECT_EQ(messageBox("Q", "?", IconNone, ButtonsYesNo), AnswerNo);
    removeDialogRecorder();
    // Offscreen, without a recorder, nothing modal may appear: the call returns at once.
    EXPECT_EQ(messageBox("Q", "?", IconNone, ButtonsYesNo), AnswerNo);
    EXPECT_EQ(messageBox("Note", "text", IconError, ButtonsOk), AnswerOk);
    EXPECT_EQ(saveFileDialog("Save", "x.tsu", "Test Setup (*.tsu)|*.tsu"), "");
    EXPECT_EQ(recordedDialogs().size(), 1u);
}

#include "base/messages.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"
#include "platform/platform.h"

using testsupport::readFile;

namespace {

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::initPlatform();
        platform::clearRecordedDialogs();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
    }
    void TearDown() override { platform::removeDialogRecorder(); }
    testsupport::ScratchDirectory dir;
};

TEST(MessageText, TitleBodyAndIconComeFromTheText) {
    struct Case {
        const char* text;
        const char* title;
        const char* body;
        int icon;
    } cases[] = {
        {"Error #0066 main window won't start", "Error #0066", "main window won't start", platform::IconError},
        {"Warning #xxxx USB/COM service unable to start - Please check", "Warning #xxxx",
         "USB/COM service unable to start - Please check", platform::IconWarning},
        {"Info #0001 newer", "Info #0001", "newer", platform::IconInformation},
        {"Error #00", "Error #00", "", platform::IconError},
        {"Info #0001", "Info #0001", "", platform::IconInformation},
        {"error #0001 lower case", "", "", 0},
        {"Something else", "", "", 0},
    };
    for (const auto& c : cases) {
        const MessageParts parts = splitMessage(c.text);
        EXPECT_EQ(parts.title, c.title) << c.text;
        EXPECT_EQ(parts.body, c.body) << c.text;
        EXPECT_EQ(parts.icon, c.icon) << c.text;
    }
}

TEST(MessageText, LogLineFormat) {
    std::tm when{};
    when.tm_year = 2025 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 7;
    when.tm_hour = 14;
    when.tm_min = 5;
    when.tm_sec = 9;
    EXPECT_EQ(formatLogLine("Error #0066 main window won't start", when),
              "[07-Mar-2025 14:05:09] Error #0066 main window won't start");
    when.tm_mon = 11;
    when.tm_mday = 31;
    when.tm_hour = 0;
    EXPECT_EQ(formatLogLine("x", when), "[31-Dec-2025 00:05:09] x");
}

TEST_F(MessagesTest, ShownMessagesAreLoggedFirstAndLowerCaseKindsOnlyLogged) {
    showMessage("Error #0066 main window won't start");
    showMessage("error #0002 quiet");
    const std::string log = readFile("log.txt");
    ASSERT_EQ(log.size(), 2 * 23 + std::string("Error #0066 main window won't start\r\nerror #0002 quiet\r\n").size());
    EXPECT_EQ(log[0], '[');
    EXPECT_EQ(log.substr(23, 37), "Error #0066 main window won't start\r\n");
    EXPECT_EQ(log.substr(log.size() - 19), "error #0002 quiet\r\n");
    ASSERT_EQ(platform::recordedDialogs().size(), 1u);
    EXPECT_EQ(platform::recordedDialogs()[0].title, "Error #0066");
    EXPECT_EQ(platform::recordedDialogs()[0].body, "main window won't start");
    EXPECT_EQ(platform::recordedDialogs()[0].icon, platform::IconError);
}

TEST_F(MessagesTest, UnwritableLogWarnsThenStillShowsTheMessage) {
    std::filesystem::create_directory("log.txt");
    showMessage("Info #0001 hello");
    const auto& boxes = platform::recordedDialogs();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].title, "Warning #xxxx");
    EXPECT_EQ(boxes[0].body, "cannot write to log.txt");
    EXPECT_EQ(boxes[0].icon, platform::IconWarning);
    EXPECT_EQ(boxes[1].title, "Info #0001");
    EXPECT_EQ(boxes[1].body, "hello");
}

} // namespace

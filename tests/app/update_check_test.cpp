#include "app/update_check.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/http_download.h"
#include "local_http_server.h"
#include "app/program_defaults.h"
#include "app/startup.h"
#include "app/update_sources.h"
#include "base/system_settings.h"
#include "test_support.h"
#include "platform/platform.h"

namespace {

using testsupport::HttpReply;
using testsupport::LocalHttpServer;

const std::string listPath = "/wp-content/TALO_version.txt";
const std::string downloadPath = "/?smd_process_download=1&download_id=2650";

TEST(VersionList, LastMatchingLineGivesTheSixCharactersAfterItsFirstEquals) {
    const struct {
        const char* list;
        float expected;
    } cases[] = {
        {"KRV650=25.004\r\n", 25.004f},
        {"KRV650=25.0041\r\n", 25.004f},
        {"KRV650=25.010\r\nKRV650=25.005\r\n", 25.005f},
        {"KRV650=25.005\nKRV650=abcdef\n", 0.0f},
        {"KRV600=30.000\r\nKRV650=25.005\r\nKRV640=31.000", 25.005f},
        {"krv650=30.000\r\n", 0.0f},
        {"KRV650 25.005\r\n", 0.0f},
        {"KRV650=25.005\r\nKRV650 is current\r\n", 25.005f},
        {"KRV650=abc\r\n", 0.0f},
        {"", 0.0f},
        {"a=1 KRV650=26.000\r\n", 1.0f},
        {"KRV650= 25.01\r\n", 25.01f},
        {"KRV650=25\r\n", 25.0f},
        {"KRV650=-5\r\n", -5.0f},
        // Only plain decimals: no exponent, hexadecimal or infinity sneaks a huge version in.
        {"KRV650=1e9999\r\n", 1.0f},
        {"KRV650=0x19.8\r\n", 0.0f},
        {"KRV650=inf\r\n", 0.0f},
        {"KRV650=25,005\r\n", 25.0f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(latestVersionIn(c.list, "KRV650"), c.expected) << c.list;
    EXPECT_EQ(latestVersionIn("=26.000\r\n", ""), 0.0f);
}

// A scratch working directory, the update server pointed at `address`, message boxes answered `answer`.
class UpdateCheckTest : public ::testing::Test {
protected:
    testsupport::ScratchDirectory dir;
    std::string answer = "no";

    void SetUp() override {
        platform::initPlatform();
        platform::resetPlatform();
        resetProgramDefaults();
        platform::installDialogRecorder([this](const platform::RecordedDialog&) { return answer; });
    }
    void TearDown() override {
        unsetenv("KRV_UPDATE_SERVER");
        platform::resetPlatform();
    }
    static void useServer(const std::string& address) { setenv("KRV_UPDATE_SERVER", address.c_str(), 1); }
    static std::vector<platform::RecordedDialog> dialogs() { return platform::recordedDialogs(); }
};

const std::string newerBoxText =
    "Another version of this software is available!  Current version: V25.004  Latest version: V25.005  , click "
    "YES to goto download website or NO to continue.";

TEST_F(UpdateCheckTest, ShowsTheBoxOnlyForANewerVersionAndLeavesBothFiles) {
    const std::string oneMegabyte(maximumDownloadBytes, 'x');
    const struct {
        const char* name;
        HttpReply list;
        float latest;
        std::string boxVersion; // empty: no box
    } cases[] = {
        {"same version", HttpReply::page(200, "KRV650=25.004\r\n"), 25.004f, ""},
        {"newer", HttpReply::page(200, "KRV650=25.005\r\n"), 25.005f, "25.005"},
        {"cut to six characters", HttpReply::page(200, "KRV650=25.0041\r\n"), 25.004f, ""},
        {"last line older", HttpReply::page(200, "KRV650=25.010\r\nKRV650=25.004\r\n"), 25.004f, ""},
        {"last line newer", HttpReply::page(200, "KRV650=25.004\r\nKRV650=25.010\r\n"), 25.010f, "25.010"},
        {"error page delivered", HttpReply::page(404, "<html>Not Found</html>"), 0.0f, ""},
        {"no equals sign", HttpReply::page(200, "KRV650 25.005\r\n"), 0.0f, ""},
        {"letters", HttpReply::page(200, "KRV650=abcdef\r\n"), 0.0f, ""},
        {"empty list", HttpReply::page(200, ""), 0.0f, ""},
        {"exactly the size limit", HttpReply::page(200, "KRV650=25.005\r\n" + oneMegabyte.substr(15)), 25.005f, "25.005"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::clearRecordedDialogs();
        LocalHttpServer server([&](const std::string& path) {
            return path == listPath ? c.list : HttpReply::page(200, "counted");
        });
        useServer(server.address());
        checkForUpdate();
        EXPECT_FLOAT_EQ(updateCheck.latestVersion, c.latest);
        EXPECT_EQ(server.requests(), (std::vector<std::string>{listPath, downloadPath}));
        EXPECT_EQ(testsupport::readFile("TALO_version.txt"), c.list.body);
        EXPECT_EQ(testsupport::readFile("zversion.txt"), "counted");
        if (c.boxVersion.empty()) {
            EXPECT_TRUE(dialogs().empty());
        } else {
            ASSERT_EQ(dialogs().size(), 1u);
            EXPECT_EQ(dialogs()[0].title, "Info #0001");
            EXPECT_EQ(dialogs()[0].icon, platform::IconInformation);
            EXPECT_EQ(dialogs()[0].buttons, platform::ButtonsYesNo);
            EXPECT_EQ(dialogs()[0].body, "Another version of this software is available!  Current version: V25.004  "
                                         "Latest version: V" + c.boxVersion +
                                             "  , click YES to goto download website or NO to continue.");
        }
    }
}

TEST_F(UpdateCheckTest, FailedDownloadsEndSilentlyAndRemoveTheStaleList) {
    const struct {
        const char* name;
        HttpReply list;
    } cases[] = {
        {"redirect loop", HttpReply::redirect(listPath)},
        {"10 MB without a length", HttpReply::endless(10 * 1024 * 1024)},
        {"10 MB announced", HttpReply::announced(10 * 1024 * 1024)},
        {"one byte over the limit", HttpReply::endless(maximumDownloadBytes + 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::clearRecordedDialogs();
        // A list from an earlier day must not speak for today's failed download.
        testsupport::writeFile("TALO_version.txt", "KRV650=99.000\r\n");
        LocalHttpServer server([&](const std::string&) { return c.list; });
        useServer(server.address());
        checkForUpdate();
        EXPECT_EQ(updateCheck.latestVersion, 0.0f);
        EXPECT_TRUE(dialogs().empty());
        EXPECT_FALSE(std::filesystem::exists("TALO_version.txt"));
        EXPECT_FALSE(std::filesystem::exists("zversion.txt"));
        EXPECT_LT(server.bodyBytesSent(), 10 * 1024 * 1024);
        if (c.list.kind == HttpReply::Redirect) {
            EXPECT_GT(server.requests().size(), 5u);
        }
    }
    useServer(testsupport::refusingAddress());
    testsupport::writeFile("TALO_version.txt", "KRV650=99.000\r\n");
    checkForUpdate();
    EXPECT_TRUE(dialogs().empty());
    EXPECT_FALSE(std::filesystem::exists("TALO_version.txt"));
}

TEST_F(UpdateCheckTest, FollowsARedirectAndOpensTheDownloadPageOnYes) {
    for (const char* reply : {"yes", "no"}) {
        answer = reply;
        platform::clearRecordedDialogs();
        LocalHttpServer server([](const std::string& path) {
            if (path == listPath) return HttpReply::redirect("/lists/current.txt");
            return HttpReply::page(200, "KRV650=25.005\r\n");
        });
        useServer(server.address());
        checkForUpdate();
        ASSERT_EQ(dialogs().size(), answer == "yes" ? 2u : 1u) << reply;
        EXPECT_EQ(dialogs()[0].body, newerBoxText);
        if (answer == "yes") {
            EXPECT_EQ(dialogs()[1].kind, "url");
            EXPECT_EQ(dialogs()[1].body, server.address() + "/software");
        }
    }
}

TEST_F(UpdateCheckTest, ModelWithoutADownloadRowSkipsTheSecondDownload) {
    systemSettings.activeInstrument = "KRV999";
    LocalHttpServer server([](const std::string&) { return HttpReply::page(200, "KRV999=30.000\r\n"); });
    useServer(server.address());
    checkForUpdate();
    EXPECT_EQ(server.requests(), std::vector<std::string>{listPath});
    EXPECT_FALSE(std::filesystem::exists("zversion.txt"));
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_NE(dialogs()[0].body.find("Latest version: V30.000"), std::string::npos);
}

// A server that takes the connection and never answers: a lab PC behind a dead proxy. The check gives up
// within its time budget, whichever of the two downloads hangs.
TEST_F(UpdateCheckTest, SilentServerHoldsTheCheckForNoMoreThanItsBudget) {
    const struct {
        const char* name;
        bool listAnswered;
    } cases[] = {{"version list", false}, {"download address", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::clearRecordedDialogs();
        LocalHttpServer server([&](const std::string& path) {
            if (path == listPath && c.listAnswered) return HttpReply::page(200, "KRV650=25.005\r\n");
            return HttpReply::silent();
        });
        useServer(server.address());
        const auto start = std::chrono::steady_clock::now();
        checkForUpdate();
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        RecordProperty(std::string("checkMs_") + (c.listAnswered ? "download" : "list"), std::to_string(ms));
        EXPECT_LT(ms, updateCheckTimeBudgetMs + 1000);
        EXPECT_FALSE(std::filesystem::exists("zversion.txt"));
        EXPECT_EQ(dialogs().size(), c.listAnswered ? 1u : 0u);
    }
}

TEST_F(UpdateCheckTest, StartUpStoresTheDateBeforeCheckingAndChecksOncePerDay) {
    std::filesystem::copy(KRV_SOURCE_DIR "/install", ".", std::filesystem::copy_options::recursive);
    testsupport::writeFile("settings/system_settings.txt",
                           "CheckWebsiteForUpdate=1\r\nDateOfLastUpdateCheck=1/1/2025\r\n");
    std::string settingsWhenAsked;
    LocalHttpServer server([&](const std::string& path) {
        if (path == listPath) settingsWhenAsked = testsupport::readFile("settings/system_settings.txt");
        return HttpReply::page(200, "KRV650=25.004\r\n");
    });
    useServer(server.address());
    for (int start = 0; start < 2; ++start) {
        platform::resetPlatform();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
        startProgram();
    }
    EXPECT_EQ(server.requests(), (std::vector<std::string>{listPath, downloadPath}));
    EXPECT_NE(settingsWhenAsked.find("DateOfLastUpdateCheck=" + testsupport::todayDayMonthYear() + "\r\n"), std::string::npos)
        << settingsWhenAsked;
}

} // namespace

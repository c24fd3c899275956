#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "app/loop_tick.h"
#include "app/program_defaults.h"
#include "base/elapsed_clock.h"
#include "base/settings_file.h"
#include "link/comms_thread.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "display/cursor_actions.h"
#include "display/graph.h"
#include "display/graph_sources.h"
#include "display/hot_regions.h"
#include "display/parameter_box.h"
#include "local_http_server.h"
#include "base/gui_numbers.h"
#include "sweep/run_record.h"
#include "sweep/sweep_parameters.h"
#include "test_support.h"
#include "platform/platform.h"

namespace {

// A scratch working directory prepared from install/, with message boxes answered by the test; the
// platform is reset when it goes.
struct InstalledProgram {
    testsupport::ScratchDirectory dir;
    InstalledProgram() {
        // The update check is due in a fresh installation; it must not reach for the network.
        setenv("KRV_UPDATE_SERVER", testsupport::refusingAddress().c_str(), 1);
        std::filesystem::copy(KRV_SOURCE_DIR "/install", ".", std::filesystem::copy_options::recursive);
        platform::initPlatform();
        platform::resetPlatform();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
    }
    ~InstalledProgram() {
        unsetenv("KRV_UPDATE_SERVER");
        platform::removeDialogRecorder();
        platform::overrideActiveWindow(-1);
        platform::resetPlatform();
    }
};

void setRegion(int r, int left, int top, int right, int bottom) {
    hotRegions.hotRegionLeft[r] = left;
    hotRegions.hotRegionTop[r] = top;
    hotRegions.hotRegionRight[r] = right;
    hotRegions.hotRegionBottom[r] = bottom;
}

// A displayed run whose axes end at 10 V and 50 mA, drawn once so that the panel registers its
// buttons; every redraw after a cursor move registers them again in the same places.
void drawPanelWithTenVoltsAndFiftyMilliamperes() {
    std::array<std::string, testConfigurationColumns> row{};
    row[7] = "5";
    row[12] = "8";
    for (int c = 0; c < testConfigurationColumns; ++c) testConfigurations.cell[100][c] = row[static_cast<std::size_t>(c)];
    sweepParameters.testConfigurationId = 100;
    RunRecord& run = sampleRunRecord;
    run.entryCount[0] = 2;
    run.VC[0][1] = 4.5;
    run.VC[0][2] = 9.0;
    run.IC[0][1] = 0.02;
    run.IC[0][2] = 0.0442;
    refreshGraph();
}

// A point inside the registered region r.
int regionX(int r) {
    return static_cast<int>(hotRegions.hotRegionLeft[r]) + 5;
}
int regionY(int r) {
    return static_cast<int>(hotRegions.hotRegionTop[r]) + 5;
}

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::initPlatform();
        platform::resetPlatform();
        resetProgramDefaults();
        platform::openWindow(1, 0, 0, 400, 300, "test", platform::WindowTitleBar);
        platform::overrideActiveWindow(1);
    }
    void TearDown() override {
        platform::overrideActiveWindow(-1);
        platform::resetPlatform();
    }
    void drain() {
        for (int i = 0; i < 5; ++i) mainLoopPass();
    }
};

TEST_F(MainLoopTest, HighestOverlappingRegionWinsAndBoundsAreInclusive) {
    setRegion(527, 10, 10, 50, 50);
    setRegion(528, 40, 40, 80, 80);
    EXPECT_EQ(hotRegionAt(45, 45), 528);
    EXPECT_EQ(hotRegionAt(10, 10), 527);
    EXPECT_EQ(hotRegionAt(80, 80), 528);
    EXPECT_EQ(hotRegionAt(81, 80), 0);
    setRegion(550, 0, 0, 1000, 1000); // outside the tested range
    EXPECT_EQ(hotRegionAt(500, 500), 0);
}

TEST_F(MainLoopTest, PressOnAKeyRowChoosesItsStepForTheParameters) {
    setRegion(firstKeyStepRegion + 4, 0, 300, 399, 318);
    EXPECT_EQ(hotRegionAt(10, 310), firstKeyStepRegion + 4);
    EXPECT_EQ(hotRegionAt(10, 0), 0) << "a key row not shown must not answer at the origin";
    platform::postMouseEvent(platform::EventLeftButtonDown, 1, 10, 310);
    platform::postMouseEvent(platform::EventLeftButtonUp, 1, 10, 310);
    drain();
    EXPECT_EQ(parameterBox.selectedStep, 4);
}

TEST_F(MainLoopTest, PressActsOnceHoldingDoesNotRepeatAndDoubleClickActsTwice) {
    drawPanelWithTenVoltsAndFiftyMilliamperes();
    const int x = regionX(regionXaUp), y = regionY(regionXaUp);
    platform::postMouseEvent(platform::EventLeftButtonDown, 1, x, y);
    drain();
    EXPECT_DOUBLE_EQ(cursors.cursorXA, 0.1);
    drain(); // still held
    EXPECT_DOUBLE_EQ(cursors.cursorXA, 0.1);
    platform::postMouseEvent(platform::EventLeftButtonUp, 1, x, y);
    platform::postMouseEvent(platform::EventLeftDoubleClick, 1, x, y);
    platform::postMouseEvent(platform::EventLeftButtonUp, 1, x, y);
    drain();
    EXPECT_DOUBLE_EQ(cursors.cursorXA, 0.2);
    // A fast double-click arrives as down, up, double-click, up: two moves.
    platform::postMouseEvent(platform::EventLeftButtonDown, 1, x, y);
    platform::postMouseEvent(platform::EventLeftButtonUp, 1, x, y);
    platform::postMouseEvent(platform::EventLeftDoubleClick, 1, x, y);
    platform::postMouseEvent(platform::EventLeftButtonUp, 1, x, y);
    drain();
    EXPECT_DOUBLE_EQ(cursors.cursorXA, 0.4);
}

TEST_F(MainLoopTest, StepMultiplierAndSyncRegions) {
    drawPanelWithTenVoltsAndFiftyMilliamperes();
    for (int r : {regionStepMultiplierTen, regionCursorSync, regionYaUp}) {
        platform::postMouseEvent(platform::EventLeftButtonDown, 1, regionX(r), regionY(r));
        platform::postMouseEvent(platform::EventLeftButtonUp, 1, regionX(r), regionY(r));
        drain();
    }
    EXPECT_EQ(cursors.cursorStepMultiplier, 10.0);
    EXPECT_EQ(cursors.cursorSync, 1);
    EXPECT_DOUBLE_EQ(cursors.cursorYA, 0.005);
    EXPECT_DOUBLE_EQ(cursors.cursorYB, 0.005);
}

TEST_F(MainLoopTest, EachArrowMovesItsOwnCursorItsOwnWay) {
    // A negative full scale (axis on its negative side) turns every step around.
    for (double fullScale : {10.0, -10.0}) {
        const struct {
            int region;
            double CursorState::*cursor;
            int direction;
        } arrows[] = {
            {regionXaDown, &CursorState::cursorXA, -1}, {regionXaUp, &CursorState::cursorXA, +1},
            {regionXbDown, &CursorState::cursorXB, -1}, {regionXbUp, &CursorState::cursorXB, +1},
            {regionYaDown, &CursorState::cursorYA, -1}, {regionYaUp, &CursorState::cursorYA, +1},
            {regionYbDown, &CursorState::cursorYB, -1}, {regionYbUp, &CursorState::cursorYB, +1},
        };
        for (const auto& a : arrows) {
            resetCursorDefaults();
            cursors.xFullScale = fullScale;
            cursors.yFullScale = fullScale;
            runHotRegionAction(a.region);
            CursorState expected;
            expected.xFullScale = fullScale;
            expected.yFullScale = fullScale;
            expected.*a.cursor = a.direction * fullScale / 100.0;
            EXPECT_DOUBLE_EQ(cursors.cursorXA, expected.cursorXA) << "region " << a.region << " scale " << fullScale;
            EXPECT_DOUBLE_EQ(cursors.cursorXB, expected.cursorXB) << "region " << a.region << " scale " << fullScale;
            EXPECT_DOUBLE_EQ(cursors.cursorYA, expected.cursorYA) << "region " << a.region << " scale " << fullScale;
            EXPECT_DOUBLE_EQ(cursors.cursorYB, expected.cursorYB) << "region " << a.region << " scale " << fullScale;
        }
    }
}

TEST_F(MainLoopTest, CloseEndsTheLoopOnlyWhenTheMainWindowIsForeground) {
    platform::overrideActiveWindow(0);
    platform::postCloseEvent(1);
    drain();
    EXPECT_EQ(shell.quitRequested, 0);
    platform::overrideActiveWindow(2);
    platform::postCloseEvent(1);
    drain();
    EXPECT_EQ(shell.quitRequested, 0);
    platform::overrideActiveWindow(1);
    platform::postCloseEvent(1);
    mainLoopPass();
    EXPECT_EQ(shell.quitRequested, 1);
}

std::map<std::string, std::string> snapshot() {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
        files[entry.path().string()] = entry.is_regular_file() ? testsupport::readFile(entry.path()) : "<dir>";
    return files;
}

TEST(WholeProgram, StartsBuildsTheMainWindowAndEndsCleanlyOnClose) {
    InstalledProgram program;
    startProgram();
    ASSERT_TRUE(platform::windowExists(1));
    EXPECT_EQ(platform::windowTitle(1), "Halvane - KRV650 Curve Tracer V25.004");
    EXPECT_EQ(platform::windowWidth(1), 1402);
    EXPECT_EQ(platform::windowHeight(1), 832);
    EXPECT_EQ(platform::menuItemCaption(1, 265), "HW Reset (FW: 640-9 only)");
    EXPECT_NE(platform::numberedImage(452), nullptr);
    EXPECT_TRUE(std::filesystem::exists("settings/system_settings.txt"));

    const auto before = snapshot();
    platform::overrideActiveWindow(1);
    platform::postCloseEvent(1);
    runMainEventLoop();
    EXPECT_EQ(shell.quitRequested, 1);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(platform::recordedDialogs().empty());
}

} // namespace

namespace {

TEST(WholeProgram, ExitCodeIsZeroAfterACloseRequest) {
    InstalledProgram program;
    platform::overrideActiveWindow(1);
    platform::postCloseEvent(1);
    EXPECT_EQ(runProgram(0, nullptr), 0);
}

} // namespace

namespace {

TEST(WholeProgram, SecondStartLeavesTheSettingsFileByteIdentical) {
    InstalledProgram program;
    startProgram();
    const std::string first = testsupport::readFile("settings/system_settings.txt");
    EXPECT_NE(first.substr(0, 3), "\xEF\xBB\xBF");
    int lines = 0;
    for (std::size_t at = first.find("\r\n"); at != std::string::npos; at = first.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 57);
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 57);
    platform::resetPlatform();
    platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
    startProgram();
    EXPECT_EQ(testsupport::readFile("settings/system_settings.txt"), first);
    platform::removeDialogRecorder();
    platform::resetPlatform();
}

} // namespace

namespace {

TEST(WholeProgram, UpdateCheckDateIsStoredOnlyWhenTheCheckIsOnAndDue) {
    const std::string today = testsupport::todayDayMonthYear();
    const struct {
        const char* seed;
        std::string expectedDateLine;
    } cases[] = {
        {"CheckWebsiteForUpdate=1\r\nDateOfLastUpdateCheck=1/1/2025\r\n", "DateOfLastUpdateCheck=" + today},
        {"CheckWebsiteForUpdate=0\r\nDateOfLastUpdateCheck=1/1/2025\r\n", "DateOfLastUpdateCheck=1/1/2025"},
        {"CheckWebsiteForUpdate=5\r\nDateOfLastUpdateCheck=1/1/2025\r\n", "DateOfLastUpdateCheck=1/1/2025"},
    };
    setenv("KRV_UPDATE_SERVER", testsupport::refusingAddress().c_str(), 1);
    for (const auto& c : cases) {
        testsupport::ScratchDirectory dir;
        std::filesystem::copy(KRV_SOURCE_DIR "/install", ".", std::filesystem::copy_options::recursive);
        testsupport::writeFile("settings/system_settings.txt", c.seed);
        platform::initPlatform();
        platform::resetPlatform();
        platform::installDialogRecorder([](const platform::RecordedDialog&) { return std::string("ok"); });
        startProgram();
        const std::string file = testsupport::readFile("settings/system_settings.txt");
        EXPECT_NE(file.find("\r\n" + c.expectedDateLine + "\r\n"), std::string::npos) << c.seed << file;
        platform::removeDialogRecorder();
        platform::resetPlatform();
    }
    unsetenv("KRV_UPDATE_SERVER");
}

} // namespace

TEST_F(MainLoopTest, LoopTickPressAtANewPointerPositionRedrawsAtOnce) {
    struct Case {
        int x, y;
        int button;
        bool redraw;
    } cases[] = {
        {40, 50, 0, false}, // hovering only moves the pointer
        {40, 50, 1, true},  // a press where the pointer already rests
        {40, 50, 1, false}, // held still
        {41, 50, 1, true},  // dragged
        {90, 90, 0, false},
        {41, 50, 1, false}, // pressed again where the last press was
    };
    for (const Case& c : cases) {
        platform::postMouseEvent(platform::EventLeftButtonUp, 1, c.x, c.y);
        platform::waitEvent(0);
        shell.leftButtonDown = c.button;
        const std::int64_t notDue = elapsedMilliseconds() - 1; // a refresh sets it to now
        graphRefresh.lastRedrawTime = notDue;
        loopTick();
        EXPECT_EQ(shell.mouseX, c.x);
        EXPECT_EQ(graphRefresh.lastRedrawTime != notDue, c.redraw) << c.x << "," << c.y << " " << c.button;
    }
    shell.leftButtonDown = 0;
}

TEST_F(MainLoopTest, IdleLoopSleepsYetAClickOrAReportFromAnotherThreadIsHandledAtOnce) {
    // Past the opening events (or the last click) and the redraws they asked for, nothing is due for seconds.
    auto settle = [] {
        const std::int64_t until = elapsedMilliseconds() + 250;
        while (elapsedMilliseconds() < until) mainLoopPass();
    };
    settle();
    EXPECT_GT(nextLoopTickDueMs() - elapsedMilliseconds(), 5000);
    const std::int64_t idleStart = elapsedMilliseconds();
    int passes = 0;
    while (elapsedMilliseconds() - idleStart < 1000) {
        mainLoopPass();
        ++passes;
    }
    EXPECT_LE(passes, 3);

    struct Case {
        const char* what;
        std::function<void()> fromOtherThread;
        std::function<bool()> handled;
    } cases[] = {
        {"click", [] { platform::postControlEvent(gui::controlDutNpn + 1); },
         [] { return shell.lastEvent == platform::EventControl && sweepParameters.dutType == "PNP"; }},
        {"report",
         [] {
             Report r;
             r.rawIc = 4242;
             storeReportInRing(r);
         },
         [] { return currentReport.rawIc == 4242; }},
    };
    for (const Case& c : cases) {
        settle();
        std::atomic<std::int64_t> sentAt{0};
        const std::int64_t start = elapsedMilliseconds();
        std::thread other([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(80));
            sentAt = elapsedMilliseconds();
            c.fromOtherThread();
        });
        mainLoopPass();
        const std::int64_t returned = elapsedMilliseconds();
        other.join();
        EXPECT_TRUE(c.handled()) << c.what;
        EXPECT_GE(returned - start, 70) << c.what << ": the pass slept until it came";
        // Woken by the event, not by the wait's time-out (a second away): a loaded machine may add tens of ms.
        EXPECT_LE(returned - sentAt.load(), 500) << c.what;
    }
}

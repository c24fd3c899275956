// Real toolkit input, as the user would cause it, arrives as the same events as the posted ones.
#include "platform_fixture.h"

#include "platform/platform_internal.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

#include <vector>

using namespace platform;

namespace {

QWidget* windowWidget(int window) {
    return detail::findWindow(window)->widget;
}

// Sends a mouse event to the native window at a point given in client coordinates of `window`.
void sendMouse(int window, QEvent::Type type, QPoint client) {
    auto* record = detail::findWindow(window);
    QPoint local = client + record->client->pos();
    QPoint global = record->widget->mapToGlobal(local);
    Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(global), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(record->widget->windowHandle(), &event);
}

std::vector<int> drainCodes() {
    std::vector<int> codes;
    while (int code = waitEvent(0)) codes.push_back(code);
    return codes;
}

} // namespace

class ToolkitEvents : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_TRUE(openWindow(1, 10, 10, 400, 300, "main", WindowTitleBar | WindowSystemMenu | WindowSizeGadget));
        ASSERT_TRUE(createMenuBar(1));
        int file = addMenu(1, 0, "File");
        addMenuItem(1, file, 28, "Save Image / Save Data");
        ASSERT_TRUE(createContainer(60, 1, 0, 200, 0, 200, 200, rgb(0, 0, 0)));
        ASSERT_TRUE(createPicture(513, 1, 60, 0, 0, Image(50, 40, rgb(1, 2, 3))));
        drain();
    }
};

TEST_F(ToolkitEvents, ClickOnPictureGivesMouseAndControlEventsInClientCoordinates) {
    sendMouse(1, QEvent::MouseButtonPress, {210, 15});
    sendMouse(1, QEvent::MouseButtonRelease, {210, 15});
    EXPECT_EQ(waitEvent(0), EventLeftButtonDown);
    EXPECT_EQ(eventWindow(), 1);
    EXPECT_EQ(mouseX(1), 210);
    EXPECT_EQ(mouseY(1), 15);
    EXPECT_EQ(waitEvent(0), EventControl);
    EXPECT_EQ(eventControl(), 513);
    EXPECT_EQ(eventWindow(), 1);
    EXPECT_EQ(waitEvent(0), EventLeftButtonUp);
    EXPECT_EQ(waitEvent(0), EventNone);
}

TEST_F(ToolkitEvents, DoubleClickReplacesTheSecondPress) {
    // Outside the picture, so only the raw button events appear.
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                      QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        sendMouse(1, type, {20, 100});
    EXPECT_EQ(drainCodes(), (std::vector<int>{EventLeftButtonDown, EventLeftButtonUp, EventLeftDoubleClick,
                                              EventLeftButtonUp}));
}

TEST_F(ToolkitEvents, DoubleClickOnPictureCountsTwoClicks) {
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                      QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        sendMouse(1, type, {220, 20});
    EXPECT_EQ(drainCodes(), (std::vector<int>{EventLeftButtonDown, EventControl, EventLeftButtonUp, EventControl,
                                              EventLeftDoubleClick, EventLeftButtonUp}));
}

TEST_F(ToolkitEvents, ClicksOnTheMenuBarAreNotClientClicks) {
    auto* record = detail::findWindow(1);
    QPoint onBar(5, record->menuBar->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(onBar), QPointF(record->widget->mapToGlobal(onBar)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(record->widget->windowHandle(), &press);
    for (int code : drainCodes()) EXPECT_NE(code, EventLeftButtonDown);
}

TEST_F(ToolkitEvents, CloseButtonOnlyAsks) {
    windowWidget(1)->close();
    EXPECT_EQ(next(), EventCloseWindow);
    EXPECT_EQ(eventWindow(), 1);
    EXPECT_TRUE(windowExists(1));
    EXPECT_TRUE(windowWidget(1)->isVisible());
}

TEST_F(ToolkitEvents, ChosenMenuItemKeepsTheProgramsCheckMark) {
    setMenuItemChecked(1, 28, false);
    detail::findWindow(1)->items[28].action->trigger();
    EXPECT_EQ(waitEvent(0), EventMenu);
    EXPECT_EQ(eventMenuItem(), 28);
    EXPECT_EQ(eventWindow(), 1);
    EXPECT_FALSE(menuItemChecked(1, 28));
    EXPECT_FALSE(detail::findWindow(1)->items[28].action->isChecked());
}

TEST_F(ToolkitEvents, ResizeByTheUserQueuesSizeEvent) {
    windowWidget(1)->resize(500, 350);
    bool sized = false;
    while (int code = next(50)) sized = sized || (code == EventSizeWindow && eventWindow() == 1);
    EXPECT_TRUE(sized);
    EXPECT_EQ(windowWidth(1), 500);
    EXPECT_EQ(windowHeight(1), 350);
}

TEST_F(ToolkitEvents, ButtonsFieldsAndListsReportTheirControls) {
    ASSERT_TRUE(createButton(293, 1, 0, 0, 0, 80, 20, "Scan"));
    ASSERT_TRUE(createTextField(300, 1, 0, 0, 30, 80, 20, false));
    static_cast<QPushButton*>(detail::state().controls[293].widget.data())->click();
    EXPECT_EQ(waitEvent(0), EventControl);
    EXPECT_EQ(eventControl(), 293);
    EXPECT_EQ(eventType(), ControlLeftClick);
    setControlText(300, "typed by the program");
    EXPECT_EQ(waitEvent(0), EventNone) << "only the user's edits are events";
}

// Menu bars with numbered items; the program owns the check marks.
#include "platform/platform_internal.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace platform {
namespace {

constexpr const char* itemProperty = "krvItem";
constexpr const char* titleProperty = "krvTitle";
constexpr const char* captionProperty = "krvCaption";

// An ampersand would otherwise mark a keyboard shortcut and vanish from the caption.
QString menuText(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QMenu* findMenu(detail::WindowRecord& record, int menu) {
    auto found = record.menus.find(menu);
    return found == record.menus.end() ? nullptr : found->second.data();
}

detail::MenuItemRecord* findItem(int window, int item) {
    auto* record = detail::findWindow(window);
    if (!record) return nullptr;
    auto found = record->items.find(item);
    if (found == record->items.end() || !found->second.action) return nullptr;
    return &found->second;
}

void outlineMenu(const QMenu* menu, std::vector<std::string>& outline) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            outline.push_back("-");
        } else if (QMenu* submenu = action->menu()) {
            outline.push_back(">" + submenu->property(titleProperty).toString().toStdString());
            outlineMenu(submenu, outline);
            outline.push_back("<");
        } else {
            outline.push_back(std::to_string(action->property(itemProperty).toInt()) + ":" +
                              action->property(captionProperty).toString().toStdString());
        }
    }
}

} // namespace

bool createMenuBar(int window) {
    auto* record = detail::findWindow(window);
    if (!record) return false;
    delete record->menuBar.data();
    record->menus.clear();
    record->items.clear();
    record->menuBar = new QMenuBar(record->widget);
    record->menuBar->setNativeMenuBar(false);
    record->menuBar->show();
    detail::layoutWindow(*record);
    return true;
}

int addMenu(int window, int parentMenu, const std::string& title) {
    auto* record = detail::findWindow(window);
    if (!record || !record->menuBar) return 0;
    QMenu* menu = nullptr;
    if (parentMenu == 0) {
        menu = record->menuBar->addMenu(menuText(title));
        detail::layoutWindow(*record); // the bar may need another row
    } else if (QMenu* parent = findMenu(*record, parentMenu)) {
        menu = parent->addMenu(menuText(title));
    }
    if (!menu) return 0;
    menu->setProperty(titleProperty, QString::fromStdString(title));
    int handle = record->nextMenuHandle++;
    record->menus[handle] = menu;
    return handle;
}

void addMenuItem(int window, int menu, int item, const std::string& caption) {
    auto* record = detail::findWindow(window);
    if (!record) return;
    QMenu* parent = findMenu(*record, menu);
    if (!parent) return;
    QAction* action = parent->addAction(menuText(caption));
    action->setProperty(itemProperty, item);
    action->setProperty(captionProperty, QString::fromStdString(caption));
    record->items[item] = {action, caption, false};
    QObject::connect(action, &QAction::triggered, action, [window, item] {
        // A checkable action flips its own mark when chosen; put back the program's mark.
        if (auto* entry = findItem(window, item)) entry->action->setChecked(entry->checked);
        detail::queueEvent({EventMenu, window, 0, item, 0});
    });
}

void addMenuSeparator(int window, int menu) {
    auto* record = detail::findWindow(window);
    if (!record) return;
    if (QMenu* parent = findMenu(*record, menu)) parent->addSeparator();
}

void setMenuItemChecked(int window, int item, bool checked) {
    auto* entry = findItem(window, item);
    if (!entry) return;
    entry->checked = checked;
    entry->action->setCheckable(true);
    entry->action->setChecked(checked);
}

bool menuItemChecked(int window, int item) {
    auto* entry = findItem(window, item);
    return entry && entry->checked;
}

bool menuItemExists(int window, int item) {
    return findItem(window, item) != nullptr;
}

std::string menuItemCaption(int window, int item) {
    auto* entry = findItem(window, item);
    return entry ? entry->caption : std::string();
}

int menuBarHeight(int window) {
    auto* record = detail::findWindow(window);
    return record && record->menuBar ? record->menuBar->height() : 0;
}

std::vector<std::string> menuBarOutline(int window) {
    std::vector<std::string> outline;
    auto* record = detail::findWindow(window);
    if (!record || !record->menuBar) return outline;
    for (QAction* action : record->menuBar->actions()) {
        if (QMenu* menu = action->menu()) {
            outline.push_back(menu->property(titleProperty).toString().toStdString());
            outlineMenu(menu, outline);
        }
    }
    return outline;
}

} // namespace platform

// The system clipboard, for copying tables as text.
#include "platform/platform_internal.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

bool setClipboardText(const std::string& text) {
    if (!platformReady()) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setText(QString::fromStdString(text));
    return true;
}

std::string clipboardText() {
    if (!platformReady()) return {};
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text().toStdString() : std::string();
}

} // namespace platform

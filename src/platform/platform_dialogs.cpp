// Message boxes and file dialogs, with a recorder that answers them in tests.
#include "platform/platform_internal.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <cstdio>

namespace platform {
namespace {

struct Recorder {
    DialogResponder responder;
    std::vector<RecordedDialog> dialogs;
};

Recorder& recorder() {
    static Recorder instance;
    return instance;
}

// Records the dialog and returns the responder's answer; false when no recorder is installed.
bool answerRecorded(const RecordedDialog& dialog, std::string& answer) {
    auto& r = recorder();
    if (!r.responder) return false;
    r.dialogs.push_back(dialog);
    answer = r.responder(dialog);
    return true;
}

int answerCode(const std::string& answer, int buttons) {
    if (buttons == ButtonsYesNo) return answer == "yes" ? AnswerYes : AnswerNo;
    return AnswerOk;
}

// Nobody can answer a modal box on the offscreen platform; showing one would hang the program.
bool cannotShow() {
    return !platformReady() || detail::state().offscreen;
}

QWidget* dialogParent() {
    auto* record = detail::findWindow(activeWindow());
    return record ? record->widget.data() : nullptr;
}

// Hands the foreground back to the window that owned a closed box, as the box's owner expects; without
// a window manager nobody else would, and a close request on that window would then go unheard.
void restoreForeground(const QPointer<QWidget>& owner) {
    if (owner) owner->activateWindow();
}

// "Test Setup (*.tsu)|*.tsu|All files|*.*" -> "Test Setup (*.tsu);;All files (*.*)"
QString qtFilter(const std::string& pattern) {
    QStringList parts = QString::fromStdString(pattern).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        QString globs = parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (label.contains(QLatin1Char('(')) ? label : label + QStringLiteral(" (") + globs + QLatin1Char(')'));
    }
    if (filters.isEmpty() && !pattern.empty()) filters << QString::fromStdString(pattern);
    return filters.join(QStringLiteral(";;"));
}

std::string fileDialog(const char* kind, const std::string& title, const std::string& defaultPath,
                       const std::string& pattern) {
    std::string answer;
    if (answerRecorded({kind, title, defaultPath, IconNone, ButtonsOk}, answer)) return answer;
    if (cannotShow()) return {};
    const QPointer<QWidget> owner = dialogParent();
    QString chosen = std::string(kind) == "open"
                         ? QFileDialog::getOpenFileName(owner, QString::fromStdString(title),
                                                        QString::fromStdString(defaultPath), qtFilter(pattern))
                         : QFileDialog::getSaveFileName(owner, QString::fromStdString(title),
                                                        QString::fromStdString(defaultPath), qtFilter(pattern));
    restoreForeground(owner);
    return chosen.toStdString();
}

} // namespace

int messageBox(const std::string& title, const std::string& body, int icon, int buttons) {
    std::string answer;
    if (answerRecorded({"message", title, body, icon, buttons}, answer)) return answerCode(answer, buttons);
    if (cannotShow()) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
        return answerCode("", buttons);
    }
    QMessageBox::Icon qtIcon = icon == IconInformation ? QMessageBox::Information
                               : icon == IconWarning   ? QMessageBox::Warning
                               : icon == IconError     ? QMessageBox::Critical
                                                       : QMessageBox::NoIcon;
    const QPointer<QWidget> owner = dialogParent();
    QMessageBox box(qtIcon, QString::fromStdString(title), QString::fromStdString(body),
                    buttons == ButtonsYesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    int pressed = box.exec();
    restoreForeground(owner);
    if (buttons == ButtonsYesNo) return pressed == QMessageBox::Yes ? AnswerYes : AnswerNo;
    return AnswerOk;
}

std::string openFileDialog(const std::string& title, const std::string& defaultPath, const std::string& pattern) {
    return fileDialog("open", title, defaultPath, pattern);
}

std::string saveFileDialog(const std::string& title, const std::string& defaultPath, const std::string& pattern) {
    return fileDialog("save", title, defaultPath, pattern);
}

void installDialogRecorder(DialogResponder responder) {
    recorder().responder = std::move(responder);
}

void removeDialogRecorder() {
    recorder().responder = nullptr;
}

const std::vector<RecordedDialog>& recordedDialogs() {
    return recorder().dialogs;
}

void clearRecordedDialogs() {
    recorder().dialogs.clear();
}

bool openUrl(const std::string& url) {
    std::string answer;
    if (answerRecorded({"url", "", url, IconNone, ButtonsOk}, answer)) return true;
    if (!platformReady() || detail::state().offscreen) return false;
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

} // namespace platform

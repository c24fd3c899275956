// Numbered controls, absolutely placed in a window's client area or inside a container.
#include "platform/platform_internal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

#include <vector>

namespace platform {
namespace {

using detail::ControlKind;
using detail::ControlRecord;

// Shows its own copy of an image at the image's size; a left press is a click.
class PictureWidget : public QWidget {
public:
    PictureWidget(int control, QWidget* parent) : QWidget(parent), control_(control) { setMouseTracking(true); }

    void setImage(const QImage& image) {
        image_ = image;
        resize(image_.size());
        update();
    }
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, image_);
    }
    void mousePressEvent(QMouseEvent* event) override { click(event); }
    // Depending on the platform the second press of a double-click arrives as a press, as a
    // double-click or as both; each press counts once.
    void mouseDoubleClickEvent(QMouseEvent* event) override { click(event); }

private:
    void click(QMouseEvent* event) {
        if (event->button() != Qt::LeftButton) return;
        if (event->type() == QEvent::MouseButtonDblClick && event->timestamp() == lastPressTime_) return;
        lastPressTime_ = event->timestamp();
        detail::queueControlEvent(control_, ControlLeftClick);
    }

    int control_;
    quint64 lastPressTime_ = ~quint64(0);
    QImage image_;
};

class FieldWidget : public QLineEdit {
public:
    FieldWidget(int control, QWidget* parent) : QLineEdit(parent), control_(control) {}

protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        detail::queueControlEvent(control_, ControlFocus);
    }
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        detail::queueControlEvent(control_, ControlLostFocus);
    }

private:
    int control_;
};

// An ampersand would otherwise mark a keyboard shortcut and vanish from the caption.
QString captionText(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

ControlRecord* findControl(int control) {
    auto& controls = detail::state().controls;
    auto found = controls.find(control);
    if (found == controls.end() || !found->second.widget) return nullptr;
    return &found->second;
}

template <typename Widget>
Widget* as(int control, ControlKind kind) {
    auto* record = findControl(control);
    return record && record->kind == kind ? static_cast<Widget*>(record->widget.data()) : nullptr;
}

QWidget* parentWidget(int window, int parent) {
    if (parent != 0) {
        auto* container = findControl(parent);
        return container && container->window == window ? container->widget.data() : nullptr;
    }
    auto* record = detail::findWindow(window);
    return record ? record->client.data() : nullptr;
}

// Registers `widget` under `control`; the caller has already made it a child of its parent.
void place(int control, int window, ControlKind kind, QWidget* widget, int x, int y, int width, int height) {
    widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
    widget->setMouseTracking(true);
    widget->show();
    detail::state().controls[control] = {kind, window, widget};
}

// Frees an earlier control of the same number and finds the parent widget; null when impossible.
QWidget* prepare(int control, int window, int parent) {
    if (control == parent) return nullptr;
    freeControl(control);
    return parentWidget(window, parent);
}

void forgetDeletedControls() {
    auto& controls = detail::state().controls;
    std::erase_if(controls, [](const auto& entry) { return entry.second.widget.isNull(); });
}

} // namespace

namespace detail {

void forgetControlsOfWindow(int window) {
    std::erase_if(state().controls, [window](const auto& entry) { return entry.second.window == window; });
}

} // namespace detail

bool createContainer(int control, int window, int parent, int x, int y, int width, int height, Rgb background) {
    QWidget* host = prepare(control, window, parent);
    if (!host) return false;
    auto* widget = new QWidget(host);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(background));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    place(control, window, ControlKind::Container, widget, x, y, width, height);
    return true;
}

bool createPicture(int control, int window, int parent, int x, int y, const Image& image) {
    QWidget* host = prepare(control, window, parent);
    if (!host) return false;
    auto* widget = new PictureWidget(control, host);
    QImage shown = image.valid() ? image.data()->image : QImage();
    place(control, window, ControlKind::Picture, widget, x, y, shown.width(), shown.height());
    widget->setImage(shown);
    return true;
}

bool createText(int control, int window, int parent, int x, int y, int width, int height, const std::string& text) {
    QWidget* host = prepare(control, window, parent);
    if (!host) return false;
    auto* widget = new QLabel(QString::fromStdString(text), host);
    widget->setTextFormat(Qt::PlainText);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    place(control, window, ControlKind::Text, widget, x, y, width, height);
    return true;
}

bool createButton(int control, int window, int parent, int x, int y, int width, int height,
                  const std::string& text) {
    QWidget* host = prepare(control, window, parent);
    if (!host) return false;
    auto* widget = new QPushButton(captionText(text), host);
    widget->setAutoDefault(false);
    QObject::connect(widget, &QPushButton::clicked, widget,
                     [control] { detail::queueControlEvent(control, ControlLeftClick); });
    place(control, window, ControlKind::Button, widget, x, y, width, height);
    return true;
}

bool createCheckBox(int control, int window, int parent, int x, int y, int width, int height,
                    const std::string& text) {
    QWidget* host = prepare(control, window, parent);
    if (!host) return false;
    auto* widget = new QCheckBox(captionText(text), host);
    QObject::connect(widget, &QCheckBox::clicked, widget,
                     [control] { detail::queueControlEvent(control, ControlLeftClick); });
    place(control, window, ControlKind::CheckBox, widget, x, y, width, height);
    return true;
}

bool createComboBox(int control, int window, int parent, int x, int y, int width, int height, bool editable) {
    QWidget* host = prepare(control, window, parent);
    if (!host) return false;
    auto* widget = new QComboBox(host);
    widget->setEditable(editable);
    widget->setMaxVisibleItems(20);
    QObject::connect(widget, &QComboBox::activated, widget,
                     [control] { detail::queueControlEvent(control, ControlChange); });
    if (editable)
        QObject::connect(widget->lineEdit(), &QLineEdit::textEdited, widget,
                         [control] { detail::queueControlEvent(control, ControlChange); });
    place(control, window, ControlKind::ComboBox, widget, x, y, width, height);
    return true;
}

bool createTextField(int control, int window, int parent, int x, int y, int width, int height, bool readOnly) {
    QWidget* host = prepare(control, window, parent);
    if (!host) return false;
    auto* widget = new FieldWidget(control, host);
    widget->setReadOnly(readOnly);
    QObject::connect(widget, &QLineEdit::textEdited, widget,
                     [control] { detail::queueControlEvent(control, ControlChange); });
    place(control, window, ControlKind::TextField, widget, x, y, width, height);
    return true;
}

bool createList(int control, int window, int parent, int x, int y, int width, int height) {
    QWidget* host = prepare(control, window, parent);
    if (!host) return false;
    auto* widget = new QListWidget(host);
    QObject::connect(widget, &QListWidget::itemClicked, widget,
                     [control] { detail::queueControlEvent(control, ControlLeftClick); });
    place(control, window, ControlKind::List, widget, x, y, width, height);
    return true;
}

bool createProgressBar(int control, int window, int parent, int x, int y, int width, int height, int minimum,
                       int maximum) {
    QWidget* host = prepare(control, window, parent);
    if (!host) return false;
    auto* widget = new QProgressBar(host);
    widget->setRange(minimum, std::max(minimum, maximum));
    widget->setValue(minimum);
    widget->setTextVisible(false);
    place(control, window, ControlKind::ProgressBar, widget, x, y, width, height);
    return true;
}

void freeControl(int control) {
    auto& controls = detail::state().controls;
    auto found = controls.find(control);
    if (found == controls.end()) return;
    QPointer<QWidget> widget = found->second.widget;
    controls.erase(found);
    delete widget.data();
    forgetDeletedControls(); // the controls inside a container went with it
}

bool controlExists(int control) {
    return findControl(control) != nullptr;
}

void setControlImage(int control, const Image& image) {
    if (auto* picture = as<PictureWidget>(control, ControlKind::Picture))
        picture->setImage(image.valid() ? image.data()->image : QImage());
}

Image controlImage(int control) {
    auto* picture = as<PictureWidget>(control, ControlKind::Picture);
    return picture ? ImageAccess::fromQImage(picture->image()) : Image();
}

void setControlText(int control, const std::string& text) {
    auto* record = findControl(control);
    if (!record) return;
    QString value = QString::fromStdString(text);
    QWidget* widget = record->widget;
    switch (record->kind) {
    case ControlKind::Text: static_cast<QLabel*>(widget)->setText(value); break;
    case ControlKind::Button: static_cast<QPushButton*>(widget)->setText(captionText(text)); break;
    case ControlKind::CheckBox: static_cast<QCheckBox*>(widget)->setText(captionText(text)); break;
    case ControlKind::TextField: static_cast<QLineEdit*>(widget)->setText(value); break;
    case ControlKind::ComboBox: {
        auto* combo = static_cast<QComboBox*>(widget);
        if (combo->isEditable())
            combo->setEditText(value);
        else if (int index = combo->findText(value, Qt::MatchExactly); index >= 0)
            combo->setCurrentIndex(index);
        break;
    }
    case ControlKind::List: {
        auto* list = static_cast<QListWidget*>(widget);
        auto matches = list->findItems(value, Qt::MatchExactly);
        if (!matches.isEmpty()) list->setCurrentItem(matches.front());
        break;
    }
    default: break;
    }
}

std::string controlText(int control) {
    auto* record = findControl(control);
    if (!record) return {};
    QWidget* widget = record->widget;
    QString text;
    switch (record->kind) {
    case ControlKind::Text: text = static_cast<QLabel*>(widget)->text(); break;
    case ControlKind::Button:
        text = static_cast<QPushButton*>(widget)->text().replace(QLatin1String("&&"), QLatin1String("&"));
        break;
    case ControlKind::CheckBox:
        text = static_cast<QCheckBox*>(widget)->text().replace(QLatin1String("&&"), QLatin1String("&"));
        break;
    case ControlKind::TextField: text = static_cast<QLineEdit*>(widget)->text(); break;
    case ControlKind::ComboBox: text = static_cast<QComboBox*>(widget)->currentText(); break;
    case ControlKind::List:
        if (auto* item = static_cast<QListWidget*>(widget)->currentItem()) text = item->text();
        break;
    default: break;
    }
    return text.toStdString();
}

void setControlState(int control, int value) {
    auto* record = findControl(control);
    if (!record) return;
    QWidget* widget = record->widget;
    switch (record->kind) {
    case ControlKind::CheckBox: static_cast<QCheckBox*>(widget)->setChecked(value != 0); break;
    case ControlKind::ProgressBar: static_cast<QProgressBar*>(widget)->setValue(value); break;
    case ControlKind::ComboBox: static_cast<QComboBox*>(widget)->setCurrentIndex(value); break;
    case ControlKind::List: static_cast<QListWidget*>(widget)->setCurrentRow(value); break;
    default: break;
    }
}

int controlState(int control) {
    auto* record = findControl(control);
    if (!record) return 0;
    QWidget* widget = record->widget;
    switch (record->kind) {
    case ControlKind::CheckBox: return static_cast<QCheckBox*>(widget)->isChecked() ? 1 : 0;
    case ControlKind::ProgressBar: return static_cast<QProgressBar*>(widget)->value();
    case ControlKind::ComboBox: return static_cast<QComboBox*>(widget)->currentIndex();
    case ControlKind::List: return static_cast<QListWidget*>(widget)->currentRow();
    default: return 0;
    }
}

void addControlItem(int control, const std::string& text) {
    if (auto* combo = as<QComboBox>(control, ControlKind::ComboBox)) combo->addItem(QString::fromStdString(text));
    if (auto* list = as<QListWidget>(control, ControlKind::List)) list->addItem(QString::fromStdString(text));
}

void clearControlItems(int control) {
    if (auto* combo = as<QComboBox>(control, ControlKind::ComboBox)) combo->clear();
    if (auto* list = as<QListWidget>(control, ControlKind::List)) list->clear();
}

int controlItemCount(int control) {
    if (auto* combo = as<QComboBox>(control, ControlKind::ComboBox)) return combo->count();
    if (auto* list = as<QListWidget>(control, ControlKind::List)) return list->count();
    return 0;
}

std::string controlItemText(int control, int index) {
    if (auto* combo = as<QComboBox>(control, ControlKind::ComboBox))
        return index >= 0 && index < combo->count() ? combo->itemText(index).toStdString() : std::string();
    if (auto* list = as<QListWidget>(control, ControlKind::List))
        return index >= 0 && index < list->count() ? list->item(index)->text().toStdString() : std::string();
    return {};
}

void setControlColours(int control, Rgb foreground, Rgb background) {
    auto* record = findControl(control);
    if (!record) return;
    QPalette palette = record->widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, QColor::fromRgb(foreground));
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, QColor::fromRgb(background));
    record->widget->setPalette(palette);
    record->widget->setAutoFillBackground(true);
}

void setControlFont(int control, const Font& font) {
    auto* record = findControl(control);
    if (record && font.valid()) record->widget->setFont(detail::qtFont(font));
}

void setControlRightAligned(int control, bool right) {
    Qt::Alignment alignment = (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    if (auto* field = as<QLineEdit>(control, ControlKind::TextField)) field->setAlignment(alignment);
    if (auto* label = as<QLabel>(control, ControlKind::Text)) label->setAlignment(alignment);
}

void moveControl(int control, int x, int y, int width, int height) {
    auto* record = findControl(control);
    if (!record) return;
    QWidget* widget = record->widget;
    widget->setGeometry(x, y, width < 0 ? widget->width() : width, height < 0 ? widget->height() : height);
}

int controlX(int control) {
    auto* record = findControl(control);
    return record ? record->widget->x() : 0;
}

int controlY(int control) {
    auto* record = findControl(control);
    return record ? record->widget->y() : 0;
}

int controlWidth(int control) {
    auto* record = findControl(control);
    return record ? record->widget->width() : 0;
}

int controlHeight(int control) {
    auto* record = findControl(control);
    return record ? record->widget->height() : 0;
}

void showControl(int control, bool visible) {
    if (auto* record = findControl(control)) record->widget->setVisible(visible);
}

void disableControl(int control, bool disabled) {
    if (auto* record = findControl(control)) record->widget->setEnabled(!disabled);
}

} // namespace platform

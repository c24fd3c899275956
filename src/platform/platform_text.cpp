// Fonts by face and point size, text drawing and text extents.
#include "platform/platform_internal.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTransform>

#include <cmath>

namespace platform {
namespace {

// Pixel sizes are fixed at 96 dots per inch so that layouts in pixels do not depend on the screen.
int pixelSize(double points) {
    return std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

bool endsWithWord(QString& face, const QString& word) {
    if (!face.endsWith(QLatin1Char(' ') + word, Qt::CaseInsensitive)) return false;
    face.chop(word.size() + 1);
    face = face.trimmed();
    return true;
}

} // namespace

Font::Font() = default;

Font::Font(const std::string& face, double points, bool bold, bool antialiased) {
    if (!(points > 0) || !std::isfinite(points)) return;
    data_ = std::make_shared<FontData>();
    data_->face = face;
    data_->points = points;
    QString family = QString::fromStdString(face).trimmed();
    bool italic = false;
    for (bool found = true; found;) {
        found = false;
        if (endsWithWord(family, QStringLiteral("Bold"))) found = bold = true;
        if (endsWithWord(family, QStringLiteral("Italic"))) found = italic = true;
    }
    QFont& font = data_->font;
    font.setFamily(family);
    font.setPixelSize(pixelSize(points));
    font.setBold(bold);
    font.setItalic(italic);
    // Grey-level smoothing only: colour fringes would differ between screens and saved pictures.
    font.setStyleStrategy(antialiased ? QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias)
                                      : QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
}

bool Font::valid() const {
    return data_ != nullptr;
}

std::string Font::face() const {
    return data_ ? data_->face : std::string();
}

double Font::points() const {
    return data_ ? data_->points : 0.0;
}

QFont detail::qtFont(const Font& font) {
    return font.valid() ? font.data()->font : QFont();
}

void drawText(Image& image, const Font& font, int x, int y, const std::string& text, Rgb colour) {
    if (!image.valid() || !font.valid() || text.empty()) return;
    QPainter painter(&ImageAccess::pixels(image));
    painter.setFont(font.data()->font);
    painter.setPen(QColor::fromRgb(colour));
    QFontMetrics metrics(font.data()->font);
    painter.drawText(x, y + metrics.ascent(), QString::fromStdString(text));
}

void drawTextVertical(Image& image, const Font& font, int x, int y, const std::string& text, Rgb colour) {
    if (!image.valid() || !font.valid() || text.empty()) return;
    QFontMetrics metrics(font.data()->font);
    QString value = QString::fromStdString(text);
    int width = metrics.horizontalAdvance(value);
    int height = metrics.height();
    if (width <= 0 || height <= 0) return;
    // Drawn level and then turned, so the glyphs look exactly like horizontal text; the margin keeps
    // ink that overhangs the advance width.
    const int margin = height / 2 + 2;
    QImage level(width + 2 * margin, height + 2 * margin, QImage::Format_ARGB32_Premultiplied);
    level.fill(Qt::transparent);
    {
        QPainter painter(&level);
        painter.setFont(font.data()->font);
        painter.setPen(QColor::fromRgb(colour));
        painter.drawText(margin, margin + metrics.ascent(), value);
    }
    // Turning maps level (px, py) to (py, levelWidth - 1 - px); the text's first column lands on row y.
    QImage turned = level.transformed(QTransform().rotate(-90));
    QPainter painter(&ImageAccess::pixels(image));
    painter.drawImage(x - margin, y - (level.width() - 1 - margin), turned);
}

int textWidth(const Font& font, const std::string& text) {
    if (!font.valid()) return 0;
    return QFontMetrics(font.data()->font).horizontalAdvance(QString::fromStdString(text));
}

int textHeight(const Font& font, const std::string&) {
    if (!font.valid()) return 0;
    return QFontMetrics(font.data()->font).height();
}

} // namespace platform

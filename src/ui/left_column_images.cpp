#include "ui/left_column_images.h"

#include <cmath>

#include "base/colour_theme.h"
#include "base/program_fonts.h"

namespace {

using platform::Font;
using platform::Image;

constexpr int buttonWidth = 24;
constexpr int tileHeight = 72;
constexpr int textColumnWidth = 119;
constexpr int smallRow = 18;

// Top of a text centred in `height` pixels, to the nearest pixel.
int centredTop(int height, const Font& font, const std::string& text) {
    return static_cast<int>(std::lround(height / 2.0 - platform::textHeight(font, text) / 2.0));
}

enum class Align { Left, Centre, Right };

Image textImage(int width, int height, const Font& font, const std::string& text, Align align, platform::Rgb fill,
                platform::Rgb ink) {
    Image image(width, height, fill);
    const int w = platform::textWidth(font, text);
    const int x = align == Align::Left ? 3 : align == Align::Right ? width - 3 - w
                                                                     : static_cast<int>(std::lround((width - w) / 2.0));
    platform::drawText(image, font, x, centredTop(height, font, text), text, ink);
    return image;
}

Image tileText(int width, int height, const Font& font, const std::string& text, Align align) {
    return textImage(width, height, font, text, align, colourTheme.tileColour, colourTheme.tileTextColour);
}

// Two adjacent one-pixel lines per arm, the tip 4 pixels from the centre.
void drawChevron(Image& image, Chevron direction, platform::Rgb ink) {
    const int cx = image.width() / 2;
    const int cy = image.height() / 2;
    const int tipX = direction == Chevron::Left ? cx - 4 : cx + 4;
    const int endX = direction == Chevron::Left ? cx + 4 : cx - 4;
    for (int dx = 0; dx < 2; ++dx) {
        platform::drawLine(image, tipX + dx, cy, endX + dx, cy - 8, ink);
        platform::drawLine(image, tipX + dx, cy, endX + dx, cy + 8, ink);
    }
}

} // namespace

TileImages drawTileTexts(const std::string& title, const std::string& topRight, const std::string& value,
                         const std::string& bottomLeft, const std::string& bottomRight) {
    const ProgramFonts& f = programFonts;
    return {tileText(textColumnWidth, smallRow, f.buttonTopSection, title, Align::Left),
            tileText(textColumnWidth, smallRow, f.buttonBottomSection, topRight, Align::Right),
            tileText(2 * textColumnWidth, 2 * smallRow, f.buttonMiddleSection, value, Align::Centre),
            tileText(textColumnWidth, smallRow, f.buttonBottomSection, bottomLeft, Align::Left),
            tileText(textColumnWidth, smallRow, f.buttonBottomSection, bottomRight, Align::Right)};
}

TileImages drawTileTexts(const TileTexts& t) {
    return drawTileTexts(t.title, t.topRight, t.value, t.bottomLeft, t.bottomRight);
}

Image drawMinusButton() {
    Image image(buttonWidth, tileHeight, colourTheme.accentColour);
    platform::fillRect(image, (buttonWidth - 12) / 2, (tileHeight - 2) / 2, 12, 2, colourTheme.tileTextColour);
    return image;
}

Image drawPlusButton() {
    Image image = drawMinusButton();
    platform::fillRect(image, (buttonWidth - 2) / 2, (tileHeight - 12) / 2, 2, 12, colourTheme.tileTextColour);
    return image;
}

Image drawChevronButton(Chevron direction, int height) {
    Image image(buttonWidth, height, colourTheme.accentColour);
    drawChevron(image, direction, colourTheme.tileTextColour);
    return image;
}

Image drawDutButton(const std::string& label, bool selected) {
    return textImage(48, 25, programFonts.controlStatusNormal, label, Align::Centre,
                     selected ? colourTheme.accentColour : colourTheme.tileColour, colourTheme.tileTextColour);
}

Image drawSectionHeader(const std::string& title, platform::Rgb colour) {
    Image image(145, 16, colour);
    const Font& font = programFonts.controlStatusNormal;
    platform::drawText(image, font, 5, 8 - platform::textHeight(font, title) / 2 - 1, title,
                       colourTheme.sectionTextColour);
    return image;
}

Image drawNameTile(const std::string& text) {
    return tileText(2 * textColumnWidth, 25, programFonts.controlStatusNormal, text, Align::Centre);
}

Image placeholderImage() {
    return Image(10, 10, platform::rgb(0, 119, 0));
}

Image drawStatusButton(const std::string& text, platform::Rgb textColour) {
    return textImage(142, 25, programFonts.controlButtonNormal, text, Align::Centre, colourTheme.accentColour,
                     textColour);
}

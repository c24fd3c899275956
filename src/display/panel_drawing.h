// Pieces of the cursor / key / settings panel: section headers, field boxes, buttons with their
// hot regions.
#pragma once

#include <string>

#include "platform/platform.h"

constexpr platform::Rgb panelWhite = platform::rgb(255, 255, 255);
constexpr platform::Rgb panelBlack = platform::rgb(0, 0, 0);
constexpr platform::Rgb panelFieldColour = platform::rgb(30, 30, 30);
constexpr int panelRowHeight = 18;
constexpr int panelRowPitch = 19;

enum class Arrow { Left, Right, Up, Down };

// Offset of a text's top from the top of a header box or field, as the headers centre their text.
int panelTextOffset(const platform::Font& font, const std::string& text);
// A white header box with its title, and a white line across the panel under it.
void drawPanelHeader(platform::Image& image, int y, const std::string& title);
// A field box with its text at (textX, box top + textDown).
void drawField(platform::Image& image, int x, int y, int width, const platform::Font& font, int textX, int textDown,
               const std::string& text);
// Registers the panel rectangle (x, y, w, h) as hot region `region` in window coordinates.
void registerHotRegion(int region, int x, int y, int width, int height);
// A button (x, y, w, h) in panel coordinates, registered as hot region `region`.
void drawTextButton(platform::Image& image, int region, int x, int y, int width, int height, const std::string& text,
                    bool on);
void drawArrowButton(platform::Image& image, int region, int x, int y, Arrow arrow);

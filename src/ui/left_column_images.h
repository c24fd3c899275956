// The pictures of the left column: tile texts, plus/minus and chevron buttons, DUT buttons, section
// headers and the placeholder every picture control starts with.
#pragma once

#include <array>
#include <string>

#include "sweep/parameter_tile_texts.h"
#include "platform/platform.h"

// Title, top-right, value, bottom-left and bottom-right images of one tile.
using TileImages = std::array<platform::Image, 5>;
TileImages drawTileTexts(const std::string& title, const std::string& topRight, const std::string& value,
                         const std::string& bottomLeft, const std::string& bottomRight);
TileImages drawTileTexts(const TileTexts& texts);

enum class Chevron { Left, Right };
platform::Image drawMinusButton();
platform::Image drawPlusButton();
// 24 x 72 (tall) or 24 x 25 (short).
platform::Image drawChevronButton(Chevron direction, int height);
platform::Image drawDutButton(const std::string& label, bool selected);
// 145 x 16 in the section colour with the title in black.
platform::Image drawSectionHeader(const std::string& title, platform::Rgb colour);
// A 238 x 25 tile with one centred text (the sample-run file name).
platform::Image drawNameTile(const std::string& text);
// 10 x 10, (0,119,0).
platform::Image placeholderImage();

// A status button: 142 x 25 in the accent colour with its text centred.
platform::Image drawStatusButton(const std::string& text, platform::Rgb textColour);

// The texts of the parameter panel's five tiles and the DUT button selection, from the sweep parameters.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TileTexts {
    std::string title;
    std::string topRight;
    std::string value; // the large centred text
    std::string bottomLeft;
    std::string bottomRight;
};

bool operator==(const TileTexts& a, const TileTexts& b);

// Peak voltage, peak current, step size, offset and number of steps, in that order. The derived
// levels must be current (updateDerivedLevels).
std::array<TileTexts, 5> parameterTileTexts();

// Offset text for a drive mode, range and level, for example "1.5 uA"; empty for an unknown range.
std::string offsetLevelText(const std::string& mode, std::int64_t range, std::int64_t level);
// "Max: ..." for the number of steps tile.
std::string stepMaximumText();

constexpr int dutButtonCount = 6;
// Index 0..5 of the DUT button (NPN, PNP, NFET, PFET, DIODE, SCR) that a type selects; -1 for none.
int selectedDutButton(const std::string& dutType);

// Whether calibration data can have come from a working instrument, before it replaces the
// coefficients file: an erased block, one written over without an erase, or a damaged file is refused
// instead of turning every later reading wrong.
#pragma once

#include <string>
#include <string_view>

// Block or file bytes: the 71 lines are whole numbers (each line nothing but its number) and every
// fitted slope has the sign and, within a factor of 1.5, the size of the nominal one; the step
// generator's zero level lies within the DAC's counts. False with `reason` set ("line 3 is not a number").
bool calibrationDataPlausible(std::string_view content, std::string& reason);

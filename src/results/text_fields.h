// Reading the program's CSV tables: whole files, lines and number fields, without copying.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The whole file at a stored path; false when it cannot be opened.
bool readWholeFile(const std::string& path, std::string& content);

// Takes the next line off `rest` (without its CR LF or LF); false when `rest` is empty.
bool takeLine(std::string_view& rest, std::string_view& line);
// Takes the next field off `rest` up to the next ",". `rest` becomes empty after the last field.
std::string_view takeField(std::string_view& rest);

// Optional sign and the leading digits, saturating at the 64-bit limits; empty when there is no digit.
std::optional<std::int64_t> leadingInteger(std::string_view text);
// A decimal number with optional sign, fraction and exponent; 0 when the field is not a number.
double decimalValue(std::string_view text);

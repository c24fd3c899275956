// Start-up read of the system settings file into every subsystem that owns a key.
#pragma once

#include <string>

// Reads every key in table order, appending missing ones with their defaults, and creates the fonts.
void loadSystemSettings(const std::string& path);

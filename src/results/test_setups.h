// Test setup files (*.tsu): the four collector supply values, saved and reloaded by name. The current
// file is systemSettings.fileTestSetup; "default.tsu" and its variants are never written by a save.
#pragma once

#include <string>

// Loads the four values; a missing or empty key is appended with the value now in force.
void loadTestSetup(const std::string& path);
// Start-up: "default.tsu" when KRV_DefaultTestSetupOnStart is "Yes", otherwise the current file.
void loadStartupTestSetup();
// File menu "Save Test Setup": rewrites the four keys of the current file (refused for default.tsu).
void saveTestSetup();
// File menu "Open Test Setup": a file chosen in the open dialog becomes the current one and is loaded.
void openTestSetup();
// File menu "Save as Test Setup": writes all four keys into a file chosen in the save dialog, which
// becomes the current one.
void saveTestSetupAs();

// Whether saving to this name is refused: it contains "default.tsu" in any letter case.
bool isProtectedTestSetup(const std::string& path);
// The text of a test setup file holding the four values now in force.
std::string testSetupFileText();

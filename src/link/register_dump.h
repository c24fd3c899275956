// Human-readable dump of the register image, written after every full transfer to debug/.
#pragma once

#include <ctime>
#include <string>

#include "link/protocol.h"

// Writes "debug/debug_hhmmss.txt" from the register image; skipped silently if it cannot be created.
void writeRegisterDump();

// The dump's text (37 lines ended by CR LF) and file name for the local time `now`.
std::string registerDumpText(const RegisterImage& image, const std::tm& now);
std::string registerDumpFileName(const std::tm& now);

// The register's name as the dump prints it.
const char* registerName(int reg);

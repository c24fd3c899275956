// Crash report: the process-wide fault handler.
#pragma once

void installCrashHandler();

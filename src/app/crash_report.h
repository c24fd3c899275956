// Crash report: the process-wide fault handler.
#pragma once

// Installs `crashHandler` for segmentation faults, bus errors, illegal instructions, floating-point
// exceptions and aborts on every thread. The handler appends the report to bugreport.txt in the working
// directory, shows it in a box from a fresh process of the program, and ends the process with exit code 0.
void installCrashHandler();
// For the subcommands that run unattended: the same report in bugreport.txt, but no box, and the process
// ends with `exitCode` so that a script sees the failure.
void installCrashHandlerWithoutBox(int exitCode);

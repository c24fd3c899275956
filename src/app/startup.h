// Start-up, the main event loop and shutdown.
#pragma once

// Start-up steps up to the main event loop: defaults, settings, main window, update check, build.
void startProgram();
// Exit code of the window program when no display can be reached.
constexpr int exitNoDisplay = 1;

// Runs the whole program in the current working directory, crash handler included; returns the process
// exit code. A process started by the crash handler only shows the crash report's box.
int runProgram(int argc, char** argv);

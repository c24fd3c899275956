// Start-up, the main event loop and shutdown.
#pragma once

// Start-up steps up to the main event loop: defaults, settings, main window, update check, build.
void startProgram();
// Runs the whole program in the current working directory; returns the process exit code.
int runProgram(int argc, char** argv);

// Start-up, the main event loop and shutdown.
#pragma once

// Runs the whole program in the current working directory; returns the process exit code.
int runProgram(int argc, char** argv);

// The crash report's message box, shown by a fresh process of the program: the faulting process
// itself cannot be trusted to drive the window system any more.
#pragma once

// The crash handler starts the program again with the report text in this environment variable;
// a process started that way only shows the box.
inline constexpr char crashReportBoxVariable[] = "KRV_CRASH_REPORT_BOX";

bool crashReportBoxRequested();
// Shows the "OnError Handler" box with the report from the environment; returns the exit code, 0.
int showCrashReportBox();

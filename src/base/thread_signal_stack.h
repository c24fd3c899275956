// A stack of its own for the fault handler on every thread the program starts, so that a thread that
// exhausts its stack still leaves its crash report.
#pragma once

// Call first thing on a new thread; the stack is released when the thread ends.
void useAlternateSignalStack();

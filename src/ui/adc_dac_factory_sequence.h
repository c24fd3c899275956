// The factory sequence of the ADC/DAC calibration window: the window's own buttons pressed in the
// order of the numbered instructions, with the meter read over the LAN and the relay fixture switched
// between the sections.
#pragma once

#include <cstdint>
#include <string>

void resetFactorySequence();
// "Go!": starts the selected sequence when both bench instruments are connected, or stops a running one.
void pressGo();
// Once per loop pass: shows the countdown and, when the next step is due, performs it. Returns the
// control the step presses (0 for none); the window handles it like a click.
int factorySequenceTick();
// When the sequence next needs a pass: every millisecond while it runs, for its countdown.
std::int64_t factorySequenceDueMs();
// The action of a step that waits (an Ic capture, CREATE, ERASE, the upload, "Prep") has completed.
void factorySequenceActionDone();
bool factorySequenceRunning();
// A step could not be done: the sequence stops where it is, and the user is told why.
void stopFactorySequence(const std::string& why);
// The same, for a caller that tells the user itself.
void haltFactorySequence();

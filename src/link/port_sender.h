// The serial port side of sending: register transfers from the GUI thread with the comms thread
// paused around them, and the comms thread's own read requests.
#pragma once

#include <cstddef>
#include <cstdint>

// Wait after pausing the comms thread, so that a reply it was receiving has left the line.
constexpr int transferPauseMs = 25;

// Carries the frames of one register transfer: pauses the comms thread (when it runs), waits, writes
// only while connected, resumes the thread. Installed as the register transfer's frame sender.
void sendFramesToInstrument(const std::uint8_t* bytes, std::size_t length);

// Comms thread: asks for one report (a read request of register 0) when the link is up.
void requestReport();

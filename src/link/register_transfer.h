// Sending to the instrument: register writes (the comms thread paused around them) and read requests.
#pragma once

// Comms thread: asks for one report (a read request of register 0) when the link is up.
void requestReport();

// Fills the register image, sends all 32 registers (31 first), writes the dump, clears the one-shots.
void sendRegisterImage();

// The pseudo-terminal that stands in for the instrument's USB serial port, linked as DIR/ports/COMn.
#pragma once

#include <string>

struct SimPort {
    int master = -1;
    int slave = -1; // held open so the line settings survive the program closing and reopening the port
    std::string ptyPath;
    std::string linkPath;
};

// Opens a raw pty and points DIR/ports/COM<number> at it, replacing whatever link was there.
bool openSimPort(SimPort& port, const std::string& dir, int number, std::string& error);
// Closes the pty and removes the link if it still names this pty.
void closeSimPort(SimPort& port);

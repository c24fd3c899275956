// The factory relay fixture on the LAN (TCP port 10002): it switches the instrument's terminals
// between the meter and the calibration resistors.
#pragma once

#include <string>
#include <vector>

#include "calibration/tcp_client.h"

inline constexpr int fixturePort = 10002;

struct FixtureLink {
    TcpHandle handle = 0;
    std::string address; // as typed when the connection was opened
};

inline FixtureLink fixtureLink;

void resetFixtureLinkDefaults();

// The fixture states in the order the list shows them ("BG to V" ... "All off").
const std::vector<std::string>& fixtureStateNames();

// Opens the connection to `host` unless one is open; false when it cannot be made.
bool connectFixture(const std::string& host);
bool fixtureConnected();

// Sends the state's relay command and then the command that applies it. False when the fixture is not
// connected, the state is unknown, or the commands could not be sent; a connection the fixture has
// dropped is closed, so that "Connect" opens a new one.
bool setFixtureState(const std::string& state);
// "Fixture at 127.0.0.1: cannot switch to BG to V".
std::string fixtureFailureMessage(const std::string& state);

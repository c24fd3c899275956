#include "calibration/fixture_link.h"

#include "calibration/dmm_link.h"

namespace {

struct FixtureState {
    const char* name;
    const char* command;
};

constexpr FixtureState fixtureStates[] = {
    {"BG to V", "#010A01\r"},    {"BG&CE to V", "#010A03\r"}, {"BG to I", "#010A04\r"},
    {"CE Range 1", "#010A10\r"}, {"CE Range 2", "#010A20\r"}, {"CE Range 3", "#010A40\r"},
    {"CE Range 4", "#010A80\r"}, {"All off", "#010A00\r"},
};

constexpr const char* applyCommand = "#010B00\r";

} // namespace

void resetFixtureLinkDefaults() {
    tcpClose(fixtureLink.handle);
    fixtureLink = FixtureLink{};
}

const std::vector<std::string>& fixtureStateNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const FixtureState& s : fixtureStates) n.emplace_back(s.name);
        return n;
    }();
    return names;
}

bool connectFixture(const std::string& host) {
    if (fixtureLink.handle != 0) return true;
    fixtureLink.handle = tcpConnect(host, fixturePort, benchConnectTimeoutMs);
    if (fixtureLink.handle != 0) fixtureLink.address = host;
    return fixtureLink.handle != 0;
}

bool fixtureConnected() {
    return fixtureLink.handle != 0;
}

bool setFixtureState(const std::string& state) {
    if (fixtureLink.handle == 0) return false;
    for (const FixtureState& s : fixtureStates) {
        if (state != s.name) continue;
        // A closed connection still takes the first send; the peer's close is seen before it.
        if (!tcpPeerGone(fixtureLink.handle) && tcpSend(fixtureLink.handle, s.command) &&
            tcpSend(fixtureLink.handle, applyCommand))
            return true;
        tcpClose(fixtureLink.handle);
        fixtureLink.handle = 0;
        return false;
    }
    return false;
}

std::string fixtureFailureMessage(const std::string& state) {
    return "Fixture at " + fixtureLink.address + ": cannot switch to " + state +
           (fixtureLink.handle == 0 ? " (connection lost)" : "");
}

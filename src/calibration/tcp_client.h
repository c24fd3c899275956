// A small TCP client for the bench instruments on the LAN (the multimeter and the factory fixture):
// connect with a time-out, send text, test for waiting data, receive.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// 0 is no connection.
using TcpHandle = std::int64_t;

// Connects to `host` (a name or a numeric address) on `port`; 0 when that fails within `timeoutMs`.
// A name that takes longer than `timeoutMs` to resolve fails too.
TcpHandle tcpConnect(const std::string& host, int port, int timeoutMs);
// Sends all of `text`; false when the connection has failed or was closed by the peer.
bool tcpSend(TcpHandle handle, const std::string& text);
// Whether received bytes are waiting; a closed or failed connection has none.
bool tcpDataWaiting(TcpHandle handle);
// Takes up to `size` waiting bytes without blocking; the count taken, 0 when none are waiting, and
// tcpConnectionLost when the peer has closed or reset the connection.
inline constexpr int tcpConnectionLost = -1;
int tcpReceive(TcpHandle handle, char* buffer, int size);
// Whether the peer has closed or reset the connection; waiting bytes stay where they are.
bool tcpPeerGone(TcpHandle handle);
void tcpClose(TcpHandle handle);

// Stands in for the system's name lookup in tests (a name server that never answers); empty: the system's.
// Returns the numeric address for a name, or "" when it has none.
inline std::function<std::string(const std::string& name)> tcpNameLookupForTests;

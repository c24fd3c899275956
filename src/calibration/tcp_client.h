// A small TCP client for the bench instruments on the LAN (the multimeter and the factory fixture):
// connect with a time-out, send text, test for waiting data, receive.
#pragma once

#include <cstdint>
#include <string>

// 0 is no connection.
using TcpHandle = std::int64_t;

// Connects to `host` (a name or a numeric address) on `port`; 0 when that fails within `timeoutMs`.
TcpHandle tcpConnect(const std::string& host, int port, int timeoutMs);
// Sends all of `text`; false when the connection has failed or was closed by the peer.
bool tcpSend(TcpHandle handle, const std::string& text);
// Whether received bytes are waiting; a closed or failed connection has none.
bool tcpDataWaiting(TcpHandle handle);
// Takes up to `size` waiting bytes without blocking; the count taken (0 when none).
int tcpReceive(TcpHandle handle, char* buffer, int size);
void tcpClose(TcpHandle handle);

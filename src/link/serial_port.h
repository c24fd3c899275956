// The one serial port slot of the program: open "COM" + n, is-open, bytes available, read, write,
// close. Safe to call from the GUI thread and the comms thread at the same time.
#pragma once

#include <string>

enum SerialParity : int { ParityNone = 0, ParityOdd = 1, ParityEven = 2 };
enum SerialHandshake : int { HandshakeNone = 0, HandshakeRtsCts = 1, HandshakeXonXoff = 2 };

// "COMn" (n >= 1) names the device to open: on POSIX the link ports/COMn in the working directory
// when it exists, else /dev/ttyUSB<n-1>. Empty for names that never resolve (COM0, not "COM" + n).
std::string resolveSerialPortPath(const std::string& name);

// Opens the slot; a port left in the slot is closed first. Buffer sizes are a hint where the platform
// has no such setting.
bool openSerialPort(const std::string& name, int baud, int dataBits, int parity, int stopBits, int handshake,
                    int receiveBufferSize, int transmitBufferSize);
// False when nothing is open or the device has gone away (unplugged, peer of a pseudo-terminal closed).
bool serialPortIsOpen();
// Received bytes waiting, without blocking; 0 when nothing is open.
int serialBytesAvailable();
// Reads up to n bytes without waiting; returns the count read (0 when nothing is open).
int readSerialPort(void* buffer, int n);
// Queues n bytes; waits a bounded time while the driver's buffer is full. Returns the count written.
int writeSerialPort(const void* buffer, int n);
void closeSerialPort();
// Whether the port would open with these settings: opens it on a descriptor of its own and closes it
// at once, never touching the slot. A port held by the slot or by another program does not open.
bool probeSerialPort(const std::string& name, int baud, int dataBits, int parity, int stopBits, int handshake,
                     int receiveBufferSize, int transmitBufferSize);
// Waits up to timeoutMs (negative: no limit) until bytes wait on the open port or it hangs up (only
// with watchPort), or wakeSerialPortWait is called. A wake given while nobody waits ends the next wait.
void waitSerialPortOrWake(int timeoutMs, bool watchPort);
// Any thread: ends the current or the next waitSerialPortOrWake at once.
void wakeSerialPortWait();
// Why the last open failed (empty after a successful open), for the log.
std::string serialPortLastError();

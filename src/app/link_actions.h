// The user's connect and disconnect actions: the Instrument menu and the connection button.
#pragma once

// "Connect": opens the link and sends the connect transfer; tells the user when the port would not open.
void connectToInstrument();
// "Disconnect".
void disconnectFromInstrument();
// The connection button: abandons any run, then disconnects or connects.
void toggleInstrumentLink();

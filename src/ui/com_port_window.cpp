#include "ui/com_port_window.h"

// Filled in with the COM port selection window.
void openComPortWindow() {}

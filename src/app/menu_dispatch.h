// Menu dispatch of the main window: menu item number -> action.
#pragma once

// Runs the action of a main-window menu item; unknown numbers do nothing. Returns true when known.
bool dispatchMenuEvent(int menuItem);

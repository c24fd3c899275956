// The Save Options window: the graph title and the options that name and place saved pictures and
// data files, with the resulting file name shown as it would be generated now.
#pragma once

// File menu "Save Options / Graph Title": opens the window and runs its own event loop until it is closed.
void openSaveOptions();

// The parts of the window's life, for tests that drive it step by step.
bool buildSaveOptionsWindow();
// Reacts to a click or an edit of a control of the window.
void saveOptionsControlEvent(int control);
// The periodic pass: takes the fields and boxes into the options, stores what changed, shows the new name.
void updateSaveOptions();

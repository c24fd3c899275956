// The status panel's button pictures: connection, high voltage, RUN and STOP in both states.
#pragma once

// Draws the eight status button images into their numbered images; the status refresh shows them.
void drawStatusButtons();
// After a theme change: the status buttons and the small buttons of the left column again. A status
// button takes the new colours when its state next changes.
void redrawStatusPanel();

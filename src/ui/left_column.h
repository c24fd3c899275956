// The left column of the main window: six titled sections of picture controls inside container 59.
#pragma once

// Creates the container, the section headers, separators, borders and dividers, and every control of
// the column showing the placeholder (the status controls with their first pictures).
void buildLeftColumn();
// Draws the plus/minus and chevron buttons in the current colours and shows them.
void showSmallButtons();

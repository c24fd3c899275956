// The strip above the plot area with the graph title, drawn into the finished graph image.
#pragma once

void drawTitleStrip();

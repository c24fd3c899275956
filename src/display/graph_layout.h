// Where the main window places the graph image and the panel, and the size the graph is drawn at.
#pragma once

#include <cstdint>

struct GraphLayout {
    std::int64_t graphX = 2, graphY = 2;
    std::int64_t graphWidth = 100, graphHeight = 500; // size requested for the graph image
    std::int64_t panelX = 0, panelY = 0, panelWidth = 400, panelHeight = 500;
};

inline GraphLayout graphLayout;

inline void resetGraphLayoutDefaults() {
    graphLayout = GraphLayout{};
}

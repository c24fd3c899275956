// The graph and panel as a person sees them: pictures saved for looking at, and compared with small
// reference pictures so that a moved pixel, a changed colour or a wrong label is caught.
#include <gtest/gtest.h>

#include "base/gui_numbers.h"
#include "base/system_settings.h"
#include "display/cursor_actions.h"
#include "display/graph.h"
#include "display/graph_images.h"
#include "graph_fixture.h"

namespace {

using namespace graphtest;

TEST(GraphPictures, DefaultGraphWithoutData) {
    resetGraphWorld();
    refreshGraph();
    savePicture(graphImages.graph, "default-empty");
    savePicture(graphImages.panel, "default-empty-panel");
}

TEST(GraphPictures, NpnFamily) {
    resetGraphWorld();
    useOutputCharacteristic();
    useBipolarSampleRun({});
    refreshGraph();
    savePicture(graphImages.graph, "npn-family");
    savePicture(graphImages.panel, "npn-family-panel");
}

} // namespace

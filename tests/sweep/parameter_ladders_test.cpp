// The plus and minus buttons of the peak voltage and peak current tiles walk their whole ladders up and
// down, stop at the ends, and keep under the safety maximum.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sweep/parameter_panel.h"
#include "sweep/sweep_parameters.h"

namespace {

struct Walk {
    const char* name;
    double& value;
    std::function<void()> up;
    std::function<void()> down;
    std::vector<double> ladder; // every value from the bottom to the top
};

TEST(ParameterLadders, PlusAndMinusWalkEveryRungAndStopAtTheEnds) {
    resetSweepParametersDefaults();
    SweepParameters& p = sweepParameters;
    p.safetyMaximumVoltage = 1000;
    p.safetyMaximumCurrent = 1000;
    const Walk walks[] = {
        {"peak voltage", p.collectorPeakVoltage, collectorVoltageUp, collectorVoltageDown,
         {collectorPeakVoltageLadder.begin(), collectorPeakVoltageLadder.end()}},
        {"peak current", p.collectorPeakCurrent, collectorCurrentUp, collectorCurrentDown,
         {collectorPeakCurrentLadder.begin(), collectorPeakCurrentLadder.end()}},
    };
    for (const Walk& w : walks) {
        SCOPED_TRACE(w.name);
        w.value = w.ladder.front();
        for (std::size_t i = 1; i < w.ladder.size(); ++i) {
            w.up();
            EXPECT_EQ(w.value, w.ladder[i]) << "up from " << w.ladder[i - 1];
        }
        w.up();
        EXPECT_EQ(w.value, w.ladder.back()) << "up at the top";
        for (std::size_t i = w.ladder.size() - 1; i > 0; --i) {
            w.down();
            EXPECT_EQ(w.value, w.ladder[i - 1]) << "down from " << w.ladder[i];
        }
        w.down();
        EXPECT_EQ(w.value, w.ladder.front()) << "down at the bottom";
    }
}

TEST(ParameterLadders, PlusStepsBackOnceAboveTheSafetyMaximum) {
    resetSweepParametersDefaults();
    SweepParameters& p = sweepParameters;
    p.safetyMaximumVoltage = 60;
    const struct {
        double from;
        double to;
    } cases[] = {{50, 60}, {60, 60}, {100, 90}, {2, 3}, {3, 6.5}, {12, 12}};
    for (const auto& c : cases) {
        p.collectorPeakVoltage = c.from;
        collectorVoltageUp();
        EXPECT_EQ(p.collectorPeakVoltage, c.to) << "from " << c.from;
    }
}

} // namespace

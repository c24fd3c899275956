// Shared set-up of the graph tests: program defaults with the default fonts, test configuration rows,
// device families traced with the virtual instrument's models, and image comparison helpers.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "sweep/run_record.h"
#include "platform/platform.h"

namespace graphtest {

// Program defaults, default fonts, dark theme, an empty sample run and a graph of width x height
// with a panel of panelWidth x height.
void resetGraphWorld(int width = 714, int height = 772, int panelWidth = 400);

// Row `id` of the test configurations table: X and Y channel with unit, symbol, subscript and name.
void setGraphRow(std::int64_t id, int xChannel, const std::string& xUnit, const std::string& xSymbol,
                 const std::string& xSubscript, const std::string& xName, int yChannel, const std::string& yUnit,
                 const std::string& ySymbol, const std::string& ySubscript, const std::string& yName);
// Row 100 plots IC against VC and is selected.
void useOutputCharacteristic();

// The record and the recorded settings the graph shows while idle.
RunRecord& sampleRun();
void setSampleRunSetting(int column, const std::string& text);

struct FamilySettings {
    bool pnp = false;
    int steps = 7;             // steps 0..steps-1
    int samples = 500;         // entries 1..samples per step
    double stepAmps = 10e-6;   // base current step (magnitude)
    double peakVolts = 13.0;   // collector supply peak (magnitude)
    double seriesOhms = 270.0;
};
// A bipolar family from the virtual instrument's device model, written into `run` (counts, VC, IC,
// VB, IB, TIB, VR) and, for the sample run, its recorded settings.
void traceBipolarFamily(RunRecord& run, const FamilySettings& settings);
void useBipolarSampleRun(const FamilySettings& settings);

std::filesystem::path pictureDirectory();
// Saves the image under build/graph-pictures/<name>.png for a person to look at.
void savePicture(const platform::Image& image, const std::string& name);

// Pixels whose colour differs by more than `tolerance` in some channel; images of different sizes
// count every pixel.
int differingPixels(const platform::Image& a, const platform::Image& b, int tolerance = 48);
// Compares with tests/display/reference/<name>.png; KRV_UPDATE_REFERENCES=1 rewrites the reference.
// Returns the count of differing pixels (or -1 when the reference cannot be read).
int compareWithReference(const platform::Image& image, const std::string& name);

} // namespace graphtest

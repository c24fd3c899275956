#include "graph_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/program_defaults.h"
#include "base/colour_theme.h"
#include "base/program_fonts.h"
#include "base/unit_format.h"
#include "support/traced_family.h"
#include "display/graph_layout.h"
#include "display/graph_sources.h"
#include "sweep/sweep_parameters.h"

namespace graphtest {

void resetGraphWorld(int width, int height, int panelWidth) {
    platform::initPlatform();
    platform::resetPlatform();
    resetProgramDefaults();
    resetAxisScaleCarry();
    programFonts.localText = makeProgramFont("Arial Bold", 10);
    programFonts.controlStatusNormal = makeProgramFont("Calibri", 10);
    programFonts.graphKeySection = makeProgramFont("Arial", 9);
    applyColourTheme();
    graphLayout = GraphLayout{};
    graphLayout.graphWidth = width;
    graphLayout.graphHeight = height;
    graphLayout.panelWidth = panelWidth;
    graphLayout.panelHeight = height;
}

void setGraphRow(std::int64_t id, int xChannel, const std::string& xUnit, const std::string& xSymbol,
                 const std::string& xSubscript, const std::string& xName, int yChannel, const std::string& yUnit,
                 const std::string& ySymbol, const std::string& ySubscript, const std::string& yName) {
    std::array<std::string, testConfigurationColumns> row{};
    row[0] = std::to_string(id);
    row[2] = "Bipolar";
    row[3] = "Output";
    row[7] = std::to_string(xChannel);
    row[8] = xUnit;
    row[9] = xSymbol;
    row[10] = xSubscript;
    row[11] = xName;
    row[12] = std::to_string(yChannel);
    row[13] = yUnit;
    row[14] = ySymbol;
    row[15] = ySubscript;
    row[16] = yName;
    for (int c = 0; c < testConfigurationColumns; ++c) testConfigurations.cell[id][c] = row[static_cast<std::size_t>(c)];
}

void useOutputCharacteristic() {
    setGraphRow(100, 5, "V", "V", "CE", "Collector-Emitter", 8, "A", "I", "C", "Collector Current");
    sweepParameters.testConfigurationId = 100;
}

RunRecord& sampleRun() {
    return sampleRunRecord;
}

void setSampleRunSetting(int column, const std::string& text) {
    sampleRuns.sampleRunParameters[static_cast<std::size_t>(column)] = text;
}

void traceBipolarFamily(RunRecord& run, const FamilySettings& f) {
    testsupport::TracedFamily family;
    family.device = f.pnp ? SimDevice::Pnp : SimDevice::Npn;
    family.steps = f.steps;
    family.samples = f.samples;
    family.stepLevel = (f.pnp ? -1.0 : 1.0) * f.stepAmps;
    family.peakVolts = (f.pnp ? -1.0 : 1.0) * f.peakVolts;
    family.seriesOhms = f.seriesOhms;
    testsupport::traceFamily(run, family);
}

void useBipolarSampleRun(const FamilySettings& f) {
    traceBipolarFamily(sampleRun(), f);
    setSampleRunSetting(12, "I");
    setSampleRunSetting(13, f.pnp ? "-13" : "13");
    setSampleRunSetting(14, "270");
    setSampleRunSetting(15, f.pnp ? "-0.05" : "0.05");
    setSampleRunSetting(16, f.pnp ? "-0.00001" : "0.00001");
    setSampleRunSetting(17, "0");
    setSampleRunSetting(18, "0.1");
    setSampleRunSetting(19, "0");
    setSampleRunSetting(20, std::to_string(f.steps - 1));
    setSampleRunSetting(21, "0");
    setSampleRunSetting(22, "300");
    setSampleRunSetting(23, "50");
}

std::filesystem::path pictureDirectory() {
    std::filesystem::path dir = std::filesystem::path(KRV_BINARY_DIR) / "graph-pictures";
    std::filesystem::create_directories(dir);
    return dir;
}

void savePicture(const platform::Image& image, const std::string& name) {
    EXPECT_TRUE(platform::writePng(image, (pictureDirectory() / (name + ".png")).string()));
}

int differingPixels(const platform::Image& a, const platform::Image& b, int tolerance) {
    if (a.width() != b.width() || a.height() != b.height()) return std::max(a.width() * a.height(), b.width() * b.height());
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const platform::Rgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(platform::red(p) - platform::red(q)) > tolerance ||
                std::abs(platform::green(p) - platform::green(q)) > tolerance ||
                std::abs(platform::blue(p) - platform::blue(q)) > tolerance)
                ++count;
        }
    }
    return count;
}

int compareWithReference(const platform::Image& image, const std::string& name) {
    const std::string path = std::string(KRV_SOURCE_DIR) + "/tests/display/reference/" + name + ".png";
    const char* update = std::getenv("KRV_UPDATE_REFERENCES");
    if (update && std::string(update) == "1") {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        EXPECT_TRUE(platform::writePng(image, path));
    }
    platform::Image reference;
    if (!platform::readPng(path, reference)) return -1;
    return differingPixels(image, reference);
}

} // namespace graphtest

#include "display/parameter_box.h"

#include <algorithm>

#include "analysis/kind_traits.h"
#include "base/program_fonts.h"
#include "base/unit_format.h"
#include "display/cursor_actions.h"
#include "display/displayed_run.h"
#include "display/graph.h"
#include "display/graph_mode.h"
#include "display/panel_drawing.h"
#include "display/panel_texts.h"

namespace {

// Gap between the key's last row and the box header, as between the panel's other sections.
constexpr int gapAboveBox = 9;
constexpr int headerHeight = 16;
constexpr int headerWidth = 145;
constexpr int columnWidth = 200;
constexpr int labelWidth = 70;

int middleStep(const RunSettings& settings, const RunRecord& run) {
    if (settings.valid) return settings.stepCount / 2;
    return std::max(filledStepCount(run) - 1, 0) / 2;
}

int chosenStep(const RunSettings& settings, const RunRecord& run) {
    const int last = settings.valid ? settings.stepCount : runRecordSteps - 1;
    const int selected = parameterBox.selectedStep;
    return selected >= 0 && selected <= last ? selected : middleStep(settings, run);
}

// Kind, step and XA beside the header box; the step's level goes when the text would not fit.
std::string headerText(const OperatingPointReading& reading, int room) {
    const std::string kind = chosenKindText(reading.kind) + "  step " + std::to_string(reading.step);
    const std::string at = reading.onCollectorVoltage ? "  at " + formatFixed(reading.point.collectorVoltage, 3) + " V"
                                                      : "  XA not on VC";
    const std::string& level = panelTexts.stepLabels[static_cast<std::size_t>(reading.step)];
    const std::string full = kind + " (" + level + ")" + at;
    if (!level.empty() && platform::textWidth(programFonts.controlStatusNormal, full) <= room) return full;
    return kind + at;
}

void drawLine(platform::Image& image, int index, int y, const PointParameterLine& line) {
    const platform::Font& font = programFonts.controlStatusNormal;
    const int x = (index % 2) * columnWidth;
    const std::string label = line.label;
    drawField(image, x, y, labelWidth, font, x + labelWidth - 5 - platform::textWidth(font, label), 1, label);
    const int valueX = x + labelWidth + 1;
    const int valueWidth = index % 2 == 0 ? columnWidth - labelWidth - 2 : image.width() - valueX;
    drawField(image, valueX, y, valueWidth, font, valueX + 5, 1, formatParameter(line.value));
}

// Where the point is, without reading the curves.
OperatingPointReading locateOperatingPoint(const RunRecord& run, const RunColumns& header) {
    OperatingPointReading reading;
    reading.settings = parseRunSettings(header);
    reading.step = chosenStep(reading.settings, run);
    reading.point.step = reading.step;
    reading.point.collectorVoltage = cursors.cursorXA;
    // On any other X axis the XA cursor is not a collector voltage: no point to read there.
    reading.onCollectorVoltage = graphMode.xChannel == channelVC;
    return reading;
}

// Inferring the kind reads every curve (and fits a field-effect family), so it waits until it is shown.
void readKind(const RunRecord& run, OperatingPointReading& reading) {
    reading.inferredKind = inferDeviceKind(run, reading.settings);
    reading.kind = runAnalysisChoice.kindOverride != DeviceKind::Unknown ? runAnalysisChoice.kindOverride
                                                                         : reading.inferredKind;
}

void readParameters(const RunRecord& run, OperatingPointReading& reading) {
    if (reading.onCollectorVoltage)
        reading.parameters = parametersAtPoint(run, reading.settings, reading.kind, reading.point);
}

} // namespace

void resetParameterBoxDefaults() {
    parameterBox = ParameterBoxState{};
    runAnalysisChoice = RunAnalysisChoice{};
}

void selectParameterStep(int step) {
    parameterBox.selectedStep = std::clamp(step, 0, runRecordSteps - 1);
    requestGraphRedraw();
}

OperatingPointReading readOperatingPoint(const RunRecord& run, const RunColumns& header) {
    OperatingPointReading reading = locateOperatingPoint(run, header);
    readKind(run, reading);
    readParameters(run, reading);
    return reading;
}

// Keys as the command line's report names them.
std::vector<PointParameterLine> pointParameterLines(DeviceKind kind, const PointParameters& p) {
    if (isBipolar(kind))
        return {{"Vce", "vc", p.collectorVoltage}, {"Ic", "ic", p.collectorCurrent}, {"hFE", "hfe", p.hfe},
                {"beta", "beta_ac", p.beta},       {"go", "go", p.go},               {"ro", "ro", p.ro},
                {"VA", "vaf", p.earlyVoltage}};
    if (isFieldEffect(kind))
        return {{"Vds", "vc", p.collectorVoltage}, {"Id", "ic", p.collectorCurrent}, {"gm", "gm", p.gm},
                {"go", "go", p.go},                {"ro", "ro", p.ro},               {"lambda", "lambda", p.lambda}};
    return {{"Vc", "vc", p.collectorVoltage}, {"Ic", "ic", p.collectorCurrent}, {"go", "go", p.go}, {"ro", "ro", p.ro}};
}

OperatingPointReading readDisplayedOperatingPoint(bool withParameters) {
    if (withParameters) return readOperatingPoint(displayedRun.run, displayedRunColumns());
    return locateOperatingPoint(displayedRun.run, displayedRunColumns());
}

void drawParameterBox(platform::Image& image, OperatingPointReading reading, int keyBottom, int sweepHeaderY) {
    const int top = keyBottom + 1 + gapAboveBox;
    // The header's line must stay clear of the SWEEP SETTINGS header, with a black pixel between.
    if (top + headerHeight + 1 >= sweepHeaderY) return;
    drawPanelHeader(image, top, "PARAMETERS");
    readKind(displayedRun.run, reading);

    const platform::Font& font = programFonts.controlStatusNormal;
    const std::string summary = headerText(reading, image.width() - headerWidth - 10);
    platform::drawText(image, font, headerWidth + 5, top + panelTextOffset(font, summary), summary, panelWhite);

    const int firstLineY = top + headerHeight + 1;
    if (firstLineY + panelRowHeight > sweepHeaderY - 1) return;
    readParameters(displayedRun.run, reading);
    const std::vector<PointParameterLine> lines = pointParameterLines(reading.kind, reading.parameters);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int y = firstLineY + static_cast<int>(i / 2) * panelRowPitch;
        if (y + panelRowHeight > sweepHeaderY - 1) break;
        drawLine(image, static_cast<int>(i), y, lines[i]);
    }
}

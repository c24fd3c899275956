// The ADC/DAC calibration window's controls: what each calibration row and Ic run sets and captures,
// the control numbers, and the building of the window with its 93 numbered instructions.
#pragma once

#include <array>

#include "ui/calibration_window_numbers.h"

namespace adcdac {

enum class RowKind { Vb, Ib, Vc };

// One calibration point: a level button, a DMM field and a "Cal." button. Field numbers are the
// indexes of the coefficient fields (line - 1 of KRV_cal.txt); -1 where the row has none.
struct CalibrationRow {
    const char* caption;
    RowKind kind;
    bool active;           // forced active level; else forced idle
    int dmmField;
    int dacField;          // the DAC counts captured
    int rawField;          // the raw Vb or Vc captured
    int dacSourceField;    // the field the level button takes its DAC value from
    int currentRange;      // base/gate current range while the level is set
    bool negativeCollector;
    bool setsTiming;       // also sets the 300 us pulse width and the 50 Hz sample rate
    const char* unit;
    const char* dmmRange;  // the meter range of the factory sequence
    double dmmScale;       // meter reading to the field's unit
    int dmmDecimals;
    int firstNumber;       // the row's three instructions are this number and the next two
};

constexpr int calibrationRowCount = 24;
const std::array<CalibrationRow, calibrationRowCount>& calibrationRows();

// One Ic run: a short pulsed sweep into calibration resistor `range` (0 is 'RANGE1').
struct IcRun {
    int range;
    bool negative;
    int rawIcField;
    int rawVcField;
    int number;
};
constexpr int icRunCount = 8;
const std::array<IcRun, icRunCount>& icRuns();
constexpr int parasiticField = 50;
// The resistor field of range k.
constexpr int resistorField(int k) { return 51 + 5 * k; }

constexpr int fieldCount = 71;
constexpr int adjustCount = 6;
constexpr int adjustSteps[adjustCount] = {250, 25, 1, -1, -25, -250};

// Control numbers.
constexpr int first = calwin::adcDacFirstControl;
constexpr int coefficientField = first;              // + field index, 0 .. 70
constexpr int levelButton = first + 100;             // + row
constexpr int levelTick = first + 130;               // + row
constexpr int calButton = first + 160;               // + row
constexpr int calTick = first + 190;                 // + row
constexpr int icRunButton = first + 220;             // + run
constexpr int icRunTick = first + 230;               // + run
constexpr int icRunBusy = first + 240;               // + run
constexpr int createButton = first + 250;
constexpr int eraseButton = first + 251;
constexpr int uploadButton = first + 252;
constexpr int createTick = first + 253;
constexpr int eraseTick = first + 254;
constexpr int uploadTick = first + 255;
constexpr int uploadProgress = first + 256;
constexpr int existingValuesButton = first + 260;
constexpr int defaultValuesButton = first + 261;
constexpr int adjustButton = first + 270;            // + 0 .. 5
constexpr int rawField = first + 280;                // + 0 .. 4: DAC, Vc, Vr, Ic, Vb
constexpr int averageField = first + 285;            // + 0 .. 3: Vc, Vr, Ic, Vb
constexpr int calibratedField = first + 289;         // + 0 .. 4: (blank), Vc, Vr, Ic, Vb
constexpr int dmmAddress = first + 300;
constexpr int dmmConnect = first + 301;
constexpr int dmmRangeList = first + 302;
constexpr int dmmMeasure = first + 303;
constexpr int dmmReading = first + 304;
constexpr int countdownField = first + 305;
constexpr int fixtureAddress = first + 310;
constexpr int fixtureConnect = first + 311;
constexpr int fixtureStateList = first + 312;
constexpr int prepButton = first + 313;
constexpr int sequenceList = first + 314;
constexpr int goButton = first + 315;
constexpr int stepField = first + 316;
constexpr int firstHeading = first + 320;            // + 0 .. 9
constexpr int introText = first + 331;          // + 0 .. 2
constexpr int firstLabel = first + 400;              // ... first + 999

// The sequences of the factory list: first and last instruction.
struct SequenceRange {
    const char* name;
    int firstStep;
    int lastStep;
};
constexpr int sequenceCount = 6;
constexpr SequenceRange sequences[sequenceCount] = {
    {"Auto (1-93)", 1, 93},   {"Auto (2-89)", 2, 89},   {"Auto (2-20)", 2, 20},
    {"Auto (21-69)", 21, 69}, {"Auto (70-76)", 70, 76}, {"Auto (77-89)", 77, 89},
};

// Builds the window with every control in its initial state; false when it cannot be opened.
bool buildAdcDacWindow();

} // namespace adcdac

// The forward characteristic of a junction fitted with the diode equation, and a breakdown read off
// the reverse characteristic.
#pragma once

#include "analysis/analysis.h"
#include "analysis/curve_math.h"

// kT/q at the circuit simulators' nominal 27 degrees C, V.
inline constexpr double thermalVoltage = 0.0258646;

struct DiodeFit {
    ParameterValue saturationCurrent; // IS, A
    ParameterValue ideality;          // N
    ParameterValue seriesResistance;  // RS, ohm
};

// v = N Vt ln(1 + i / IS) + i RS over the forward samples (v > 0, i > 0) above the noise floor,
// by Levenberg-Marquardt from a straight-line start on ln(i).
DiodeFit fitDiodeForward(const Curve& forward);

// The reverse voltage (positive) at which the current first reaches `current` (positive), where the
// curve shows a sharp rise over its leakage; `current` is set to the current it was read at.
ParameterValue reverseBreakdown(const Curve& reverse, double& current);

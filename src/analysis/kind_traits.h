// Families of device kinds, and the thyristor's fold-back shape.
#pragma once

#include "analysis/analysis.h"
#include "analysis/curve_math.h"

inline bool isBipolar(DeviceKind k) { return k == DeviceKind::Npn || k == DeviceKind::Pnp; }
inline bool isJfet(DeviceKind k) { return k == DeviceKind::Njfet || k == DeviceKind::Pjfet; }
inline bool isDepletion(DeviceKind k) { return k == DeviceKind::NmosDepletion || k == DeviceKind::PmosDepletion; }
inline bool isFieldEffect(DeviceKind k) {
    return isJfet(k) || isDepletion(k) || k == DeviceKind::NmosEnhancement || k == DeviceKind::PmosEnhancement;
}

// Gains read off the steps need the drive the kind is made for: base current for a bipolar part, gate
// voltage for a field-effect one. Other kinds take either.
inline bool driveSuitsKind(const RunSettings& settings, DeviceKind k) {
    if (isBipolar(k)) return settings.driveMode == 'I';
    if (isFieldEffect(k)) return settings.driveMode == 'V';
    return true;
}

// True when the curve, in measuring order, climbs to a voltage and then falls back below half of it
// while its current grows: a thyristor switching on. `breakover` is the highest voltage before that.
bool thyristorBreakover(const Curve& inOrder, double& breakover);

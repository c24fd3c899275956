// Device kinds by name, and the kind a run's settings and curves point to.
#include <array>
#include <cmath>
#include <utility>

#include "analysis/analysis.h"

namespace {

constexpr std::array<std::pair<DeviceKind, const char*>, 12> kindNames = {{
    {DeviceKind::Unknown, "unknown"},
    {DeviceKind::Npn, "npn"},
    {DeviceKind::Pnp, "pnp"},
    {DeviceKind::NmosEnhancement, "nmos-enh"},
    {DeviceKind::PmosEnhancement, "pmos-enh"},
    {DeviceKind::NmosDepletion, "nmos-dep"},
    {DeviceKind::PmosDepletion, "pmos-dep"},
    {DeviceKind::Njfet, "njfet"},
    {DeviceKind::Pjfet, "pjfet"},
    {DeviceKind::Diode, "diode"},
    {DeviceKind::Thyristor, "scr"},
    {DeviceKind::Resistor, "resistor"},
}};

} // namespace

const char* deviceKindName(DeviceKind kind) {
    for (const auto& [k, name] : kindNames)
        if (k == kind) return name;
    return "unknown";
}

bool parseDeviceKind(std::string_view name, DeviceKind& kind) {
    for (const auto& [k, text] : kindNames)
        if (name == text) {
            kind = k;
            return true;
        }
    return false;
}

DeviceKind inferDeviceKind(const RunRecord&, const RunSettings& settings) {
    if (!settings.valid) return DeviceKind::Unknown;
    const bool negative = settings.peakVoltage < 0;
    if (settings.driveMode == 'I') return negative ? DeviceKind::Pnp : DeviceKind::Npn;
    return negative ? DeviceKind::PmosEnhancement : DeviceKind::NmosEnhancement;
}

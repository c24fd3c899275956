// The parameters of a run as printable rows, and its model card.
#include <charconv>
#include <cmath>

#include "analysis/analysis.h"
#include "analysis/kind_traits.h"

namespace {

void add(std::vector<ParameterRow>& rows, const char* name, const char* key, const ParameterValue& value, int step = -1) {
    rows.push_back({name, key, step, value});
}

// Shortest text of four significant digits that a circuit simulator reads, whatever the locale.
std::string cardNumber(double x) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 4);
    return std::string(buffer, result.ptr);
}

void addCard(std::string& card, const char* name, const ParameterValue& value, double scale = 1.0) {
    if (!value.available || !std::isfinite(value.value * scale)) return;
    if (card.back() != '(') card += ' ';
    card += std::string(name) + "=" + cardNumber(value.value * scale);
}

std::string sanitisedName(std::string_view name) {
    std::string out;
    for (char c : name) out += (std::isalnum(static_cast<unsigned char>(c)) || c == '_') ? c : '_';
    if (out.empty()) out = "DUT";
    return out;
}

} // namespace

std::vector<ParameterRow> parameterRows(const RunParameters& p) {
    std::vector<ParameterRow> rows;
    const DeviceKind kind = p.kind;
    if (isBipolar(kind)) {
        add(rows, "hFE", "hfe", p.hfe);
        add(rows, "VA", "vaf", p.earlyVoltage);
        add(rows, "IS", "is", p.saturationCurrent);
        add(rows, "BR", "br", p.reverseBeta);
    } else if (isFieldEffect(kind)) {
        const bool enhancement = !isJfet(kind) && !isDepletion(kind);
        add(rows, enhancement ? "Vth" : "Vp", "vth", p.threshold);
        add(rows, isJfet(kind) ? "BETA" : "KP", isJfet(kind) ? "beta" : "kp", p.gainFactor);
        add(rows, "lambda", "lambda", p.lambda);
        if (!enhancement) add(rows, "IDSS", "idss", p.idss);
    } else if (kind == DeviceKind::Diode) {
        add(rows, "Vf", "vf", p.forwardVoltage);
        add(rows, "IS", "is", p.saturationCurrent);
        add(rows, "N", "n", p.ideality);
        add(rows, "RS", "rs", p.seriesResistance);
        add(rows, "BV", "bv", p.breakdownVoltage);
    } else if (kind == DeviceKind::Resistor) {
        add(rows, "R", "r", p.resistance);
    } else if (kind == DeviceKind::Thyristor) {
        add(rows, "Vbo", "vbo", p.breakdownVoltage);
    }
    if (isBipolar(kind) || isFieldEffect(kind)) {
        const char* knee = isBipolar(kind) ? "Vce(sat)" : "Vds(sat)";
        const char* kneeKey = isBipolar(kind) ? "vcesat" : "vdssat";
        for (int s = 0; s < runRecordSteps; ++s) {
            if (!p.saturationVoltage[s].available && !p.onResistance[s].available) continue;
            add(rows, knee, kneeKey, p.saturationVoltage[s], s);
            add(rows, "Ron", "ron", p.onResistance[s], s);
        }
    }
    return rows;
}

std::string modelCardLine(const RunParameters& p, std::string_view modelName) {
    const DeviceKind kind = p.kind;
    std::string card = ".model " + sanitisedName(modelName) + " ";
    if (isBipolar(kind)) {
        card += kind == DeviceKind::Npn ? "NPN(" : "PNP(";
        addCard(card, "IS", p.saturationCurrent);
        addCard(card, "BF", p.hfe);
        addCard(card, "VAF", p.earlyVoltage);
        addCard(card, "BR", p.reverseBeta);
    } else if (isJfet(kind)) {
        card += kind == DeviceKind::Njfet ? "NJF(" : "PJF(";
        // The simulator's JFET threshold is the n-channel pinch-off whatever the channel type.
        addCard(card, "VTO", p.threshold, kind == DeviceKind::Pjfet ? -1.0 : 1.0);
        addCard(card, "BETA", p.gainFactor);
        addCard(card, "LAMBDA", p.lambda);
    } else if (isFieldEffect(kind)) {
        const bool n = kind == DeviceKind::NmosEnhancement || kind == DeviceKind::NmosDepletion;
        card += n ? "NMOS(LEVEL=1" : "PMOS(LEVEL=1";
        addCard(card, "VTO", p.threshold);
        addCard(card, "KP", p.gainFactor);
        addCard(card, "LAMBDA", p.lambda);
    } else if (kind == DeviceKind::Diode) {
        card += "D(";
        addCard(card, "IS", p.saturationCurrent);
        addCard(card, "N", p.ideality);
        addCard(card, "RS", p.seriesResistance);
        addCard(card, "BV", p.breakdownVoltage);
        if (p.breakdownVoltage.available && p.breakdownCurrent > 0 && p.breakdownCurrent != 1e-3)
            card += " IBV=" + cardNumber(p.breakdownCurrent);
    } else {
        return {};
    }
    if (card.back() == '(' || card.ends_with("LEVEL=1")) return {};
    return card + ")";
}

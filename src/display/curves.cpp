#include "display/curves.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "base/colour_theme.h"
#include "display/graph_axes.h"
#include "display/graph_drawing.h"
#include "display/reference_run.h"
#include "base/system_settings.h"

namespace {

double clampOnto(double v, double low, double high) {
    if (!(v >= low)) v = low;
    if (v > high) v = high;
    return v;
}

// Pixels of the plot area already painted in the colour of the step being drawn. Most samples of a
// dense step fall on a pixel that a neighbouring segment has painted; within one step only its own
// colour is drawn, so painting such a pixel again changes nothing.
class PaintedPixels {
public:
    void reset(const PlotArea& a) {
        left_ = a.left;
        top_ = a.top;
        width_ = a.plotWidth() >= 0 && a.right < a.width ? a.plotWidth() + 1 : 0;
        height_ = a.plotHeight() >= 0 && a.bottom < a.height ? a.plotHeight() + 1 : 0;
        marks_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    }
    bool usable() const { return width_ > 0 && height_ > 0; }
    // Marks the pixel for `step`; false when it was marked for the step already.
    bool mark(const CurvePixel& p, unsigned char step) {
        unsigned char& m = marks_[static_cast<std::size_t>(p.y - top_) * static_cast<std::size_t>(width_) +
                                  static_cast<std::size_t>(p.x - left_)];
        const bool fresh = m != step;
        m = step;
        return fresh;
    }

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::vector<unsigned char> marks_;
};

// Positions inside a plot area that lies within the image are at least marginTop, so adding a half
// and truncating rounds them exactly as lround does, without a branch on the fraction. The clamps
// send a value that is not a number to the left or top edge, as curvePixel does.
void mapStep(const CurveMapping& m, const double* xs, const double* ys, std::int64_t count, int* px, int* py) {
    for (std::int64_t e = 0; e <= count; ++e) {
        double x = m.left + m.px * xs[e];
        x = x >= m.left ? x : m.left;
        x = x > m.right ? m.right : x;
        double y = m.bottom - m.py * ys[e];
        y = y >= m.top ? y : m.top;
        y = y > m.bottom ? m.bottom : y;
        px[e] = static_cast<int>(x + 0.5);
        py[e] = static_cast<int>(y + 0.5);
    }
}

// Within one step every pixel gets the step's colour, so the order in which they are painted does
// not matter: single pixels are gathered and painted together after the step's longer segments.
// One step of a plotted run in one colour; `stamp` tells its pixels apart from the previous step's.
struct StepCurve {
    const double* xs;
    const double* ys;
    std::int64_t count;
    platform::Rgb colour;
    unsigned char stamp;
};

// Reference steps are stamped apart from the displayed run's steps 1..24.
constexpr int referenceStampBase = 101;

StepCurve stepCurveOf(const PlotData& data, int step, bool reference) {
    const auto k = static_cast<std::size_t>(step);
    const platform::Rgb colour = reference ? referenceStepColour(step, systemSettings.referenceGrey == "Yes")
                                           : colourTheme.stepColours[k];
    const auto stamp = static_cast<unsigned char>(step + (reference ? referenceStampBase : 1));
    return {data.x[k], data.y[k], data.count[k], colour, stamp};
}

void drawStep(platform::Image& image, const CurveMapping& m, PaintedPixels& painted, const StepCurve& curve) {
    const std::int64_t count = curve.count;
    const platform::Rgb colour = curve.colour;
    const unsigned char stamp = curve.stamp;
    static std::vector<int> columns(runRecordEntries + 1), rows(runRecordEntries + 1);
    mapStep(m, curve.xs, curve.ys, count, columns.data(), rows.data());

    // Pixels to paint are collected at the front of the arrays, behind the entry being read.
    std::size_t single = 0;
    CurvePixel previous{columns[0], rows[0]};
    painted.mark(previous, stamp);
    columns[single] = previous.x;
    rows[single] = previous.y;
    ++single;
    for (std::int64_t e = 1; e <= count; ++e) {
        const CurvePixel p{columns[static_cast<std::size_t>(e)], rows[static_cast<std::size_t>(e)]};
        // A segment within one pixel or between neighbouring pixels paints just its two ends, and its
        // start is painted already.
        const auto dx = static_cast<unsigned>(p.x - previous.x + 1), dy = static_cast<unsigned>(p.y - previous.y + 1);
        if (dx <= 2 && dy <= 2) {
            // Written every time and kept only when fresh: whether a pixel is new follows no pattern.
            columns[single] = p.x;
            rows[single] = p.y;
            single += painted.mark(p, stamp) ? 1 : 0;
        } else {
            platform::drawLine(image, previous.x, previous.y, p.x, p.y, colour);
            painted.mark(p, stamp);
        }
        previous = p;
    }
    platform::setPixels(image, columns.data(), rows.data(), single, colour);
}

// Without a plot area to mark in, every segment is drawn as it comes.
void drawStepPlainly(platform::Image& image, const CurveMapping& m, const StepCurve& curve) {
    const double* xs = curve.xs;
    const double* ys = curve.ys;
    const std::int64_t count = curve.count;
    const platform::Rgb colour = curve.colour;
    CurvePixel previous = curvePixel(m, xs[0], ys[0]);
    platform::setPixel(image, previous.x, previous.y, colour);
    for (std::int64_t e = 1; e <= count; ++e) {
        const CurvePixel p = curvePixel(m, xs[e], ys[e]);
        platform::drawLine(image, previous.x, previous.y, p.x, p.y, colour);
        previous = p;
    }
}

} // namespace

CurveMapping curveMapping(const PlotArea& a) {
    CurveMapping m;
    m.left = a.left;
    m.right = a.right;
    m.top = a.top;
    m.bottom = a.bottom;
    m.px = a.plotWidth() / graphAxes.xScale.fullScale;
    m.py = a.plotHeight() / graphAxes.yScale.fullScale;
    return m;
}

CurvePixel curvePixel(const CurveMapping& m, double xValue, double yValue) {
    const double x = clampOnto(m.left + m.px * xValue, m.left, m.right);
    const double y = clampOnto(m.bottom - m.py * yValue, m.top, m.bottom);
    return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

void drawCurvesEverySegment(platform::Image& image, const PlotArea& a) {
    const CurveMapping m = curveMapping(a);
    for (const bool reference : {true, false}) {
        const PlotData& data = reference ? referencePlotData : plotData;
        for (int s = 0; s < drawnCurveSteps; ++s)
            if (data.count[static_cast<std::size_t>(s)] >= 2) drawStepPlainly(image, m, stepCurveOf(data, s, reference));
    }
}

void drawCurves(platform::Image& image, const PlotArea& a) {
    static PaintedPixels painted;
    painted.reset(a);
    const CurveMapping m = curveMapping(a);
    // The reference first, so the displayed family lies on top of it.
    for (const bool reference : {true, false}) {
        const PlotData& data = reference ? referencePlotData : plotData;
        for (int s = 0; s < drawnCurveSteps; ++s) {
            if (data.count[static_cast<std::size_t>(s)] < 2) continue;
            const StepCurve curve = stepCurveOf(data, s, reference);
            if (painted.usable())
                drawStep(image, m, painted, curve);
            else
                drawStepPlainly(image, m, curve);
        }
    }
}

#include "display/curves.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "base/colour_theme.h"
#include "display/graph_axes.h"
#include "display/graph_drawing.h"

namespace {

double clampOnto(double v, double low, double high) {
    if (!(v >= low)) v = low;
    if (v > high) v = high;
    return v;
}

// Nearest integer, halves away from zero, for the clamped (small, finite) positions; this is what
// lround gives, without a library call per sample.
int nearestInteger(double v) {
    auto i = static_cast<long long>(v);
    const double fraction = v - static_cast<double>(i);
    if (fraction >= 0.5) ++i;
    if (fraction <= -0.5) --i;
    return static_cast<int>(i);
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
        if (m == step) return false;
        m = step;
        return true;
    }

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::vector<unsigned char> marks_;
};

void drawStep(platform::Image& image, const CurveMapping& m, PaintedPixels& painted, int step) {
    const double* xs = plotData.x[static_cast<std::size_t>(step)];
    const double* ys = plotData.y[static_cast<std::size_t>(step)];
    const std::int64_t count = plotData.count[static_cast<std::size_t>(step)];
    const platform::Rgb colour = colourTheme.stepColours[static_cast<std::size_t>(step)];
    const auto stamp = static_cast<unsigned char>(step + 1);

    CurvePixel previous = curvePixel(m, xs[0], ys[0]);
    platform::setPixel(image, previous.x, previous.y, colour);
    painted.mark(previous, stamp);
    for (std::int64_t e = 1; e <= count; ++e) {
        const CurvePixel p = curvePixel(m, xs[e], ys[e]);
        if (p == previous) continue;
        // A segment between neighbouring pixels paints just its two ends, and its start is painted.
        if (std::abs(p.x - previous.x) <= 1 && std::abs(p.y - previous.y) <= 1) {
            if (painted.mark(p, stamp)) platform::setPixel(image, p.x, p.y, colour);
        } else {
            platform::drawLine(image, previous.x, previous.y, p.x, p.y, colour);
            painted.mark(p, stamp);
        }
        previous = p;
    }
}

// Without a plot area to mark in, every segment is drawn as it comes.
void drawStepPlainly(platform::Image& image, const CurveMapping& m, int step) {
    const double* xs = plotData.x[static_cast<std::size_t>(step)];
    const double* ys = plotData.y[static_cast<std::size_t>(step)];
    const std::int64_t count = plotData.count[static_cast<std::size_t>(step)];
    const platform::Rgb colour = colourTheme.stepColours[static_cast<std::size_t>(step)];
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
    return {nearestInteger(x), nearestInteger(y)};
}

void drawCurvesEverySegment(platform::Image& image, const PlotArea& a) {
    const CurveMapping m = curveMapping(a);
    for (int s = 0; s < drawnCurveSteps; ++s)
        if (plotData.count[static_cast<std::size_t>(s)] >= 2) drawStepPlainly(image, m, s);
}

void drawCurves(platform::Image& image, const PlotArea& a) {
    static PaintedPixels painted;
    painted.reset(a);
    const CurveMapping m = curveMapping(a);
    for (int s = 0; s < drawnCurveSteps; ++s) {
        if (plotData.count[static_cast<std::size_t>(s)] < 2) continue;
        if (painted.usable())
            drawStep(image, m, painted, s);
        else
            drawStepPlainly(image, m, s);
    }
}

#include "tick_finder.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace measure {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kShortestPeriod = 2.5;  // ticks closer than this are not resolved

// Grey level at a point of the picture, bilinear; points outside take the edge.
class GreySampler {
public:
    explicit GreySampler(const PixelRows& p) : m_p(p) {}

    double at(double x, double y) const
    {
        x = std::clamp(x, 0.0, double(m_p.width - 1));
        y = std::clamp(y, 0.0, double(m_p.height - 1));
        const int x0 = std::min(static_cast<int>(x), m_p.width - 2 < 0 ? 0 : m_p.width - 2);
        const int y0 = std::min(static_cast<int>(y), m_p.height - 2 < 0 ? 0 : m_p.height - 2);
        const int x1 = std::min(x0 + 1, m_p.width - 1), y1 = std::min(y0 + 1, m_p.height - 1);
        const double fx = x - x0, fy = y - y0;
        const double top = grey(x0, y0) + (grey(x1, y0) - grey(x0, y0)) * fx;
        const double bottom = grey(x0, y1) + (grey(x1, y1) - grey(x0, y1)) * fx;
        return top + (bottom - top) * fy;
    }

private:
    double grey(int x, int y) const
    {
        const uint8_t* px = m_p.data + size_t(y) * size_t(m_p.stride) + size_t(x) * size_t(m_p.channels);
        if (m_p.channels < 3)
            return px[0];
        return 0.114 * px[0] + 0.587 * px[1] + 0.299 * px[2];
    }

    const PixelRows& m_p;
};

// The line's frame: samples one pixel apart along `u`, rows one pixel apart along `n`.
struct Band {
    QPointF origin, u, n;
    int samples = 0;
};

// Takes away the lighting: each sample relative to the mean of the `window`
// samples around it (ink darkens in proportion to the light it gets).
std::vector<double> flatten(const std::vector<double>& in, int window)
{
    const int n = static_cast<int>(in.size());
    const int half = std::max(1, window / 2);
    std::vector<double> sums(size_t(n) + 1, 0.0);
    for (int i = 0; i < n; ++i)
        sums[size_t(i) + 1] = sums[size_t(i)] + in[size_t(i)];
    std::vector<double> out(static_cast<size_t>(n), 0.0);
    for (int i = 0; i < n; ++i) {
        const int a = std::max(0, i - half), b = std::min(n, i + half + 1);
        const double mean = (sums[size_t(b)] - sums[size_t(a)]) / (b - a);
        out[size_t(i)] = (in[size_t(i)] - mean) / std::max(mean, 8.0);
    }
    return out;
}

std::complex<double> fourierAt(const std::vector<double>& v, double frequency)
{
    // A rotating phasor: one complex multiply a sample.
    const std::complex<double> step = std::polar(1.0, -kTwoPi * frequency);
    std::complex<double> w = 1, sum = 0;
    for (double x : v) {
        sum += x * w;
        w *= step;
    }
    return sum;
}

// The period of the smallest repeat: the first autocorrelation peak at least
// half as high as the highest. 0 when nothing repeats.
double coarsePeriod(const std::vector<double>& v, double& peakHeight)
{
    const int n = static_cast<int>(v.size());
    const int longest = (n - 1) / (kMinimumTicks - 1);
    double energy = 0;
    for (double x : v)
        energy += x * x;
    peakHeight = 0;
    if (energy <= 1e-12 || longest < 3)
        return 0;
    std::vector<double> r(size_t(longest) + 2, 0.0);
    for (int lag = 0; lag <= longest + 1; ++lag) {
        double sum = 0;
        for (int i = 0; i + lag < n; ++i)
            sum += v[size_t(i)] * v[size_t(i + lag)];
        r[size_t(lag)] = sum / energy;
    }
    double best = 0;
    for (int lag = 2; lag <= longest; ++lag)
        if (r[size_t(lag)] >= r[size_t(lag) - 1] && r[size_t(lag)] > r[size_t(lag) + 1])
            best = std::max(best, r[size_t(lag)]);
    if (best < 0.2)
        return 0;
    for (int lag = 2; lag <= longest; ++lag) {
        const double a = r[size_t(lag) - 1], b = r[size_t(lag)], c = r[size_t(lag) + 1];
        if (b >= a && b > c && b >= 0.5 * best) {
            const double bend = a - 2 * b + c;
            const double shift = bend < 0 ? std::clamp(0.5 * (a - c) / bend, -0.5, 0.5) : 0.0;
            peakHeight = b;
            return lag + shift;
        }
    }
    return 0;
}

// The frequency near 1 / period where the spectrum peaks, between grid points
// a quarter of the main lobe apart, then on a parabola through the best three.
double fourierPeak(const std::vector<double>& v, double period)
{
    const double n = static_cast<double>(v.size());
    const double low = 1.0 / (period + 0.5), high = 1.0 / std::max(period - 0.5, 2.0);
    const double step = 0.25 / n;
    std::vector<double> power;
    for (double f = low; f <= high; f += step)
        power.push_back(std::norm(fourierAt(v, f)));
    if (power.size() < 3)
        return 1.0 / period;
    const auto top = std::max_element(power.begin() + 1, power.end() - 1) - power.begin();
    const double a = std::log(power[size_t(top) - 1] + 1e-30), b = std::log(power[size_t(top)] + 1e-30),
                 c = std::log(power[size_t(top) + 1] + 1e-30);
    const double bend = a - 2 * b + c;
    const double shift = bend < 0 ? std::clamp(0.5 * (a - c) / bend, -0.5, 0.5) : 0.0;
    return low + (double(top) + shift) * step;
}

double linearAt(const std::vector<double>& v, double x)
{
    const int n = static_cast<int>(v.size());
    x = std::clamp(x, 0.0, double(n - 1));
    const int i = std::min(static_cast<int>(x), n - 2);
    return v[size_t(i)] + (v[size_t(i) + 1] - v[size_t(i)]) * (x - i);
}

struct Tick {
    int index = 0;
    double at = 0;
    double contrast = 0;
};

// A tick's centre near `guess`: the centroid of the ink above the period's
// median, over a window that follows the centroid; the profile is read as
// continuous so the answer does not snap to samples.
Tick placeTick(const std::vector<double>& ink, double guess, double period)
{
    const double last = double(ink.size() - 1);
    std::vector<double> around;
    for (double x = guess - period / 2; x <= guess + period / 2; x += 0.5)
        around.push_back(linearAt(ink, x));
    std::nth_element(around.begin(), around.begin() + static_cast<long>(around.size() / 2), around.end());
    const double base = around[around.size() / 2];
    const double half = std::max(1.0, 0.35 * period);
    constexpr int kSteps = 8;
    Tick t;
    t.at = guess;
    for (int round = 0; round < 6; ++round) {
        double mass = 0, moment = 0, peak = 0;
        for (double x = t.at - half; x <= t.at + half; x += 1.0 / kSteps) {
            if (x < 0 || x > last)
                continue;
            const double w = std::max(0.0, linearAt(ink, x) - base);
            mass += w;
            moment += w * x;
            peak = std::max(peak, w);
        }
        t.contrast = peak;
        if (mass <= 0)
            return t;
        const double moved = moment / mass;
        if (std::abs(moved - guess) > period / 2)
            return Tick{};
        const bool settled = std::abs(moved - t.at) < 1e-4;
        t.at = moved;
        if (settled)
            break;
    }
    return t;
}

struct LineFit {
    double start = 0, period = 0, rms = 0;
};

LineFit fitTicks(const std::vector<Tick>& ticks)
{
    double sk = 0, sx = 0, skk = 0, skx = 0;
    const double n = static_cast<double>(ticks.size());
    for (const Tick& t : ticks) {
        sk += t.index;
        sx += t.at;
        skk += double(t.index) * t.index;
        skx += t.index * t.at;
    }
    LineFit fit;
    const double d = n * skk - sk * sk;
    if (d <= 0)
        return fit;
    fit.period = (n * skx - sk * sx) / d;
    fit.start = (sx - fit.period * sk) / n;
    double squares = 0;
    for (const Tick& t : ticks) {
        const double r = t.at - fit.start - fit.period * t.index;
        squares += r * r;
    }
    fit.rms = std::sqrt(squares / n);
    return fit;
}

// The rows of the band, -below .. above, the line's own row 0.
struct Rows {
    int below = 1, above = 1;
};

// The mean of the rows, each row shifted by `tilt` pixels along the line per
// pixel across it, so that slanted ticks line up.
std::vector<double> bandProfile(const GreySampler& s, const Band& b, Rows rows, double tilt)
{
    std::vector<double> out(static_cast<size_t>(b.samples), 0.0);
    for (int h = -rows.below; h <= rows.above; ++h) {
        for (int i = 0; i < b.samples; ++i) {
            const QPointF p = b.origin + b.u * (i + h * tilt) + b.n * double(h);
            out[size_t(i)] += s.at(p.x(), p.y());
        }
    }
    for (double& v : out)
        v /= (rows.below + rows.above + 1);
    return out;
}

struct Slant {
    double tangent = 0;
    Rows rows;
};

// Tangent of the ticks' slant: how far along the line they move per pixel
// across it, from the phase of the period in each row, weighted by the
// strength of the period there. The rows taken reach out from the line as far
// as the ticks keep at least half the strength they have on it.
Slant slantOf(const GreySampler& s, const Band& b, int reach, double frequency, int window)
{
    std::vector<std::complex<double>> rows;
    for (int h = -reach; h <= reach; ++h) {
        Band row = b;
        row.origin = b.origin + b.n * double(h);
        rows.push_back(fourierAt(flatten(bandProfile(s, row, Rows{0, 0}, 0), window), frequency));
    }
    const size_t middle = size_t(reach);
    const double strong = 0.25 * std::norm(rows[middle]);
    Slant slant;
    slant.rows = Rows{0, 0};
    while (slant.rows.below < reach && std::norm(rows[middle - size_t(slant.rows.below) - 1]) >= strong)
        ++slant.rows.below;
    while (slant.rows.above < reach && std::norm(rows[middle + size_t(slant.rows.above) + 1]) >= strong)
        ++slant.rows.above;
    // Unwrapped outwards from the line's row, one row at a time.
    std::vector<double> shift(rows.size());
    for (int direction : {1, -1}) {
        double previous = std::arg(rows[middle]);
        for (int h = 0; h <= (direction > 0 ? slant.rows.above : slant.rows.below); ++h) {
            const size_t k = size_t(int(middle) + direction * h);
            const double phase = previous + std::remainder(std::arg(rows[k]) - previous, kTwoPi);
            shift[k] = -phase / (kTwoPi * frequency);
            previous = phase;
        }
    }
    double sw = 0, sh = 0, shh = 0, sx = 0, shx = 0;
    for (int h = -slant.rows.below; h <= slant.rows.above; ++h) {
        const size_t k = size_t(int(middle) + h);
        const double w = std::norm(rows[k]);
        sw += w;
        sh += w * h;
        shh += w * h * h;
        sx += w * shift[k];
        shx += w * h * shift[k];
    }
    const double d = sw * shh - sh * sh;
    slant.tangent = d > 0 ? (sw * shx - sh * sx) / d : 0.0;
    return slant;
}

}  // namespace

TickScale findTicks(const PixelRows& picture, QLineF line)
{
    TickScale found;
    const double length = line.length();
    // A line longer than the picture could hold is no line drawn on it.
    if (!picture.data || picture.width < 2 || picture.height < 2
        || int64_t(picture.stride) < int64_t(picture.width) * picture.channels || (picture.channels != 1 && picture.channels != 3)
        || !std::isfinite(length) || length < kShortestPeriod * kMinimumTicks
        || length > 2.0 * (double(picture.width) + picture.height))
        return found;

    const GreySampler sampler(picture);
    Band band;
    band.origin = line.p1();
    band.u = (line.p2() - line.p1()) / length;
    band.n = QPointF(-band.u.y(), band.u.x());
    band.samples = static_cast<int>(length) + 1;

    // The repeat on a narrow band first: slanted ticks still line up there.
    double peak = 0;
    const std::vector<double> narrow = flatten(bandProfile(sampler, band, Rows{}, 0), band.samples / 2);
    double period = coarsePeriod(narrow, peak);
    if (period < kShortestPeriod)
        return found;
    const int window = std::max(9, static_cast<int>(4 * period) | 1);
    period = 1.0 / fourierPeak(flatten(bandProfile(sampler, band, Rows{}, 0), window), period);

    // Then a wider band, its rows shifted along the ticks' slant.
    const int reach = std::clamp(static_cast<int>(std::lround(1.5 * period)), 3, 32);
    Slant slant = slantOf(sampler, band, reach, 1.0 / period, window);
    const std::vector<double> profile = flatten(bandProfile(sampler, band, slant.rows, slant.tangent), window);
    const double frequency = fourierPeak(profile, period);
    period = 1.0 / frequency;

    // Ink is the side of the mean with the long tail: thin dark ticks on a
    // bright slide, or bright ones on a dark field.
    double third = 0;
    for (double v : profile)
        third += v * v * v;
    const double polarity = third < 0 ? -1 : 1;
    std::vector<double> ink(profile.size());
    std::transform(profile.begin(), profile.end(), ink.begin(), [polarity](double v) { return polarity * v; });

    // Every place the period puts a tick, from the phase of the period.
    const double phase = std::arg(fourierAt(profile, frequency));
    const double offset = (polarity > 0 ? 0.0 : 0.5) - phase / kTwoPi;
    const double first = std::fmod(offset, 1.0) * period + (offset < 0 ? period : 0.0);
    std::vector<Tick> ticks;
    for (int k = 0; first + k * period <= band.samples - 1; ++k) {
        Tick t = placeTick(ink, first + k * period, period);
        if (t.contrast > 0) {
            t.index = k;
            ticks.push_back(t);
        }
    }
    if (static_cast<int>(ticks.size()) < kMinimumTicks)
        return found;
    std::vector<double> contrasts;
    for (const Tick& t : ticks)
        contrasts.push_back(t.contrast);
    std::nth_element(contrasts.begin(), contrasts.begin() + static_cast<long>(contrasts.size() / 2), contrasts.end());
    const double typical = contrasts[contrasts.size() / 2];
    std::erase_if(ticks, [typical](const Tick& t) { return t.contrast < 0.35 * typical; });

    // Least squares over tick number and place, twice: ticks far off the first
    // line (a label's stroke, a speck) are left out of the second.
    LineFit fit = fitTicks(ticks);
    for (int pass = 0; pass < 2 && fit.period > 0; ++pass) {
        const double limit = std::max(0.06 * period, 3 * fit.rms);
        std::erase_if(ticks, [&](const Tick& t) { return std::abs(t.at - fit.start - fit.period * t.index) > limit; });
        if (static_cast<int>(ticks.size()) < kMinimumTicks)
            return found;
        fit = fitTicks(ticks);
    }
    const int divisions = ticks.back().index - ticks.front().index;
    const double coverage = double(ticks.size()) / (divisions + 1);
    if (fit.period < kShortestPeriod || fit.rms > 0.08 * fit.period || coverage < 0.6)
        return found;

    slant = slantOf(sampler, band, reach, 1.0 / fit.period, window);
    const double across = std::sqrt(1 + slant.tangent * slant.tangent);
    found.found = true;
    found.divisions = divisions;
    found.period = fit.period / across;
    found.lengthPixels = divisions * found.period;
    found.tilt = slant.tangent;
    for (const Tick& t : ticks)
        found.ticks.push_back(band.origin + band.u * t.at);
    found.tickDirection = (band.u * slant.tangent + band.n) / across;
    found.quality = std::clamp(peak, 0.0, 1.0) * coverage * std::max(0.0, 1 - fit.rms / (0.08 * fit.period));
    return found;
}

}  // namespace measure

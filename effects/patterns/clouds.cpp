// Noise pattern effects: fractal gradient-noise clouds between two colours
// and midpoint-displacement plasma of random colours.
#include "effects/patterns/clouds.h"

#include <cmath>
#include <cstring>

#include "effects/core/random.h"
#include "imaging/picture.h"
#include "imaging/pixel_math.h"
#include "imaging/progress.h"
#include "imaging/row_pool.h"

namespace {

// Octaves above this one are left out: 2^32 × the largest lattice frequency
// (about 2^28) keeps every lattice coordinate and wrap period inside 64 bits,
// and a further octave adds less than 2^−32 to the sum.
constexpr int32_t maxCloudOctave = 32;

// Lattice tables of one cloud: frequencies, permutation and gradients.
struct tlCloudTables {
    double fx = 0.0;
    double fy = 0.0;
    int64_t nx = 0;  // with wrap: lattice cells across and down at octave 0
    int64_t ny = 0;
    bool wrap = false;
    bool turbulence = false;
    int32_t lastOctave = -1;
    double scale[maxCloudOctave + 1] = {};     // f = 2^k
    int64_t periodX[maxCloudOctave + 1] = {};  // f × nx (wrap only)
    int64_t periodY[maxCloudOctave + 1] = {};  // f × ny (wrap only)
    int32_t perm[64] = {};
    double gradX[64] = {};
    double gradY[64] = {};
};

// floor(v) as an integer; |v| stays below 2^62 (see maxCloudOctave).
int64_t floorToInt(double v) {
    int64_t i = static_cast<int64_t>(v);
    return static_cast<double>(i) > v ? i - 1 : i;
}

// Non-negative remainder; the common case 0 <= v < n needs no division.
int64_t wrapIndex(int64_t v, int64_t n) {
    if (v >= 0 && v < n) return v;
    int64_t m = v % n;
    return m < 0 ? m + n : m;
}

// Hermite fall-off of a corner: 2|d|³ − 3d² + 1.
double cornerWeight(double d) {
    double a = std::fabs(d);
    return 2.0 * (a * a * a) - 3.0 * (d * d) + 1.0;
}

// One axis of one octave: the two lattice lines around the coordinate, the
// offsets to them, their weights and their part of the permutation index.
struct tlAxis {
    int64_t key[2];
    double offset[2];
    double weight[2];
};

// Column axis: key = (m + i) mod (f × nx) mod 256 with wrap, m + i without.
void columnAxis(const tlCloudTables &t, double e, int64_t period, tlAxis &axis) {
    int64_t m = floorToInt(e);
    for (int32_t i = 0; i < 2; ++i) {
        axis.key[i] = t.wrap ? wrapIndex(m + i, period) & 255 : m + i;
        axis.offset[i] = e - static_cast<double>(m + i);
        axis.weight[i] = cornerWeight(axis.offset[i]);
    }
}

// Row axis: key = perm[(l + j) mod (f × ny) mod 64] with wrap,
// perm[(l + j) mod 64] without.
void rowAxis(const tlCloudTables &t, double g, int64_t period, tlAxis &axis) {
    int64_t l = floorToInt(g);
    for (int32_t j = 0; j < 2; ++j) {
        int64_t line = t.wrap ? wrapIndex(l + j, period) : l + j;
        axis.key[j] = t.perm[line & 63];
        axis.offset[j] = g - static_cast<double>(l + j);
        axis.weight[j] = cornerWeight(axis.offset[j]);
    }
}

// noise: over the corners (m + i, l + j) in the order i = 0, 1 and inside
// j = 0, 1: total += weight × (dx × grad.x + dy × grad.y); result total / f.
double octaveNoise(const tlCloudTables &t, const tlAxis &column, const tlAxis &row, double f) {
    double total = 0.0;
    for (int32_t i = 0; i < 2; ++i) {
        for (int32_t j = 0; j < 2; ++j) {
            int32_t index = t.perm[(column.key[i] + row.key[j]) & 63];
            double weight = column.weight[i] * row.weight[j];
            total = total + weight * (column.offset[i] * t.gradX[index] + row.offset[j] * t.gradY[index]);
        }
    }
    return total / f;
}

// The row axes of every octave of one picture row, computed once per row.
struct tlRowOctaves {
    tlAxis axis[maxCloudOctave + 1];
};

void prepareRow(const tlCloudTables &t, double Y, tlRowOctaves &rows) {
    for (int32_t k = 0; k <= t.lastOctave; ++k) rowAxis(t, t.scale[k] * Y, t.periodY[k], rows.axis[k]);
}

// fractal: sum of the octaves k = 0 .. detail with f = 2^k (|noise| with
// turbulence); turbulence gives the sum, otherwise (sum + 0.94) × 0.526.
double fractal(const tlCloudTables &t, double X, const tlRowOctaves &rows) {
    double sum = 0.0;
    for (int32_t k = 0; k <= t.lastOctave; ++k) {
        double f = t.scale[k];
        tlAxis column;
        columnAxis(t, f * X, t.periodX[k], column);
        double g = octaveNoise(t, column, rows.axis[k], f);
        if (t.turbulence) g = std::fabs(g);
        sum = sum + g;
    }
    return t.turbulence ? sum : (sum + 0.94) * 0.526;
}

// The two colours as integers: colour channels first, alpha at [channels].
struct tlCloudColours {
    int64_t c1[4] = {};
    int64_t c2[4] = {};
    int32_t colourChannels = 0;
    int64_t full = 0;  // M: 255 or 65535
};

bool cloudColours(const tlColour &colour1, const tlColour &colour2, const tlPicture &picture, tlCloudColours &out) {
    out.colourChannels = picture.format().colourChannels();
    out.full = picture.bits == 8 ? 255 : 65535;
    uint8_t a8[4], b8[4];
    uint16_t a16[4], b16[4];
    bool ok = false;
    if (picture.bits == 8 && picture.model == tlColourModel::RGB) {
        ok = colour1.toRGBA8(a8) && colour2.toRGBA8(b8);
        for (int32_t i = 0; i < 4; ++i) out.c1[i] = a8[i], out.c2[i] = b8[i];
    } else if (picture.bits == 8) {
        ok = colour1.toGrayAlpha8(a8) && colour2.toGrayAlpha8(b8);
        for (int32_t i = 0; i < 2; ++i) out.c1[i] = a8[i], out.c2[i] = b8[i];
    } else if (picture.model == tlColourModel::RGB) {
        ok = colour1.toRGBA16(a16) && colour2.toRGBA16(b16);
        for (int32_t i = 0; i < 4; ++i) out.c1[i] = a16[i], out.c2[i] = b16[i];
    } else {
        ok = colour1.toGrayAlpha16(a16) && colour2.toGrayAlpha16(b16);
        for (int32_t i = 0; i < 2; ++i) out.c1[i] = a16[i], out.c2[i] = b16[i];
    }
    return ok;
}

int64_t loadSample(const uint8_t *p, int32_t bits) { return bits == 8 ? p[0] : static_cast<int64_t>(load16(p)); }

// Stores the low 8 or 16 bits: values outside the channel wrap around.
void storeSample(uint8_t *p, int32_t bits, int64_t v) {
    if (bits == 8)
        p[0] = static_cast<uint8_t>(static_cast<uint64_t>(v));
    else
        store16(p, static_cast<uint32_t>(static_cast<uint64_t>(v) & 0xFFFFu));
}

// Pixel step, signed 64-bit, divisions truncating toward zero, with
// h = floor(n × M), C = c1 × h + c2 × (M − h), α = (c1.A × h + c2.A × (M − h)) / M:
//  8 bits, no alpha: D = (α × C / 255 + S × (255 − α)) / 255
//  8 bits, alpha:    D = ((255 − α) × S.A × S + α × C) / 65025,
//                    D.A = α × (255 − S.A) / 255 + S.A
//  16 bits: P = C × α / 65535; no alpha: D = (P + (65535 − α) × S) / 65535
//           alpha: D = (P + (65535 − α) × (S × S.A / 65535)) / 65535,
//                  D.A = α × (65535 − S.A) / 65535 + S.A
// The depth and the alpha channel are template arguments so the divisors
// are constants.
template <int32_t bits, bool alphaChannel>
void paintCloudPixel(const tlCloudColours &k, double n, const uint8_t *src, uint8_t *dst) {
    constexpr int64_t M = bits == 8 ? 255 : 65535;
    constexpr int32_t step = bits / 8;
    const int32_t na = k.colourChannels;
    int64_t h = floorToInt(n * static_cast<double>(M));
    int64_t alpha = (k.c1[na] * h + k.c2[na] * (M - h)) / M;
    int64_t sourceAlpha = alphaChannel ? loadSample(src + na * step, bits) : M;
    for (int32_t c = 0; c < na; ++c) {
        int64_t C = k.c1[c] * h + k.c2[c] * (M - h);
        int64_t S = loadSample(src + c * step, bits);
        int64_t D;
        if (bits == 8)
            D = alphaChannel ? ((255 - alpha) * sourceAlpha * S + alpha * C) / 65025
                             : (alpha * C / 255 + S * (255 - alpha)) / 255;
        else {
            int64_t P = (C * alpha) / 65535;
            D = alphaChannel ? (P + (65535 - alpha) * (S * sourceAlpha / 65535)) / 65535
                             : (P + (65535 - alpha) * S) / 65535;
        }
        storeSample(dst + c * step, bits, D);
    }
    if (alphaChannel) storeSample(dst + na * step, bits, alpha * (M - sourceAlpha) / M + sourceAlpha);
}

typedef void (*tlCloudPixelFunction)(const tlCloudColours &, double, const uint8_t *, uint8_t *);

tlCloudPixelFunction cloudPixelFunction(int32_t bits, bool alphaChannel) {
    if (bits == 8) return alphaChannel ? paintCloudPixel<8, true> : paintCloudPixel<8, false>;
    return alphaChannel ? paintCloudPixel<16, true> : paintCloudPixel<16, false>;
}

// Permutation: identity, then 32 exchanges of perm[below(64)] and
// perm[below(64)]. Gradients: (u, v) = 2 × unit() − 1 each, redrawn until
// 0 < u² + v² <= 1, then normalised.
void buildLattice(tlRandom &random, tlCloudTables &t) {
    for (int32_t i = 0; i < 64; ++i) t.perm[i] = i;
    for (int32_t i = 0; i < 32; ++i) {
        uint32_t a = random.below(64);
        uint32_t b = random.below(64);
        int32_t swap = t.perm[a];
        t.perm[a] = t.perm[b];
        t.perm[b] = swap;
    }
    for (int32_t i = 0; i < 64; ++i) {
        double u, v, s;
        do {
            u = 2.0 * random.unit() - 1.0;
            v = 2.0 * random.unit() - 1.0;
            s = u * u + v * v;
        } while (s == 0.0 || s > 1.0);
        t.gradX[i] = u / std::sqrt(s);
        t.gradY[i] = v / std::sqrt(s);
    }
}

}  // namespace

// Fractal gradient noise n at every pixel of the rectangle, mapped to a mix
// of the two colours laid over the source. With wrap the lattice repeats
// exactly once across and down the rectangle, so the picture tiles.
bool tlCloudEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRandom &random = sharedRandom();
    random.seed(static_cast<uint32_t>(seed));
    tlCloudTables t;
    t.wrap = wrap;
    t.turbulence = turbulence;
    t.lastOctave = detail < maxCloudOctave ? detail : maxCloudOctave;
    if (wrap) {
        t.fx = std::ceil(static_cast<double>(scaleX) * 0.1);
        t.fy = std::ceil(static_cast<double>(scaleY) * 0.1);
        t.nx = static_cast<int64_t>(t.fx);
        t.ny = static_cast<int64_t>(t.fy);
    } else {
        t.fx = static_cast<double>(scaleX) * 0.1;
        t.fy = static_cast<double>(scaleY) * 0.1;
    }
    buildLattice(random, t);
    for (int32_t k = 0; k <= t.lastOctave; ++k) {
        t.scale[k] = std::ldexp(1.0, k);
        t.periodX[k] = (int64_t(1) << k) * t.nx;
        t.periodY[k] = (int64_t(1) << k) * t.ny;
    }

    // A wrapped lattice needs at least one cell each way; indexed pictures
    // and other formats are left as they are.
    if (wrap && (t.nx <= 0 || t.ny <= 0)) return true;
    if (destination.isEmpty() || source.isEmpty() || destination.model == tlColourModel::Indexed) return true;
    if (!destination.format().isValid()) return true;
    tlCloudColours colours;
    if (!cloudColours(colour1, colour2, destination, colours)) return true;
    tlRect rect;
    if (!destination.clippedWorkRect(rect)) return true;

    if (progress != nullptr) progress->begin(rect.bottom - rect.top - 1);
    const int32_t bytesPerPixel = destination.bytesPerPixel();
    const tlCloudPixelFunction paintPixel = cloudPixelFunction(destination.bits, destination.hasAlpha());
    const double width = static_cast<double>(rect.right - rect.left);
    const double height = static_cast<double>(rect.bottom - rect.top);
    // The tables are drawn; every row now depends on them and its own
    // coordinates only.
    return forEachRow(rect.top, rect.bottom, rect.right - rect.left, progress, [&](int32_t y) {
        tlRowOctaves rows;
        double Y = static_cast<double>(y - rect.top) / height * t.fy;
        prepareRow(t, Y, rows);
        const uint8_t *src = source.row(y) + static_cast<ptrdiff_t>(rect.left) * bytesPerPixel;
        uint8_t *dst = destination.row(y) + static_cast<ptrdiff_t>(rect.left) * bytesPerPixel;
        for (int32_t x = rect.left; x < rect.right; ++x, src += bytesPerPixel, dst += bytesPerPixel) {
            double X = static_cast<double>(x - rect.left) / width * t.fx;
            paintPixel(colours, fractal(t, X, rows), src, dst);
        }
    });
}

namespace {

// Amplitude of the cells of a level (their depth equals the level):
// trunc(2^bits / (2 × depth) × roughness × 0.1). A negative amplitude
// displaces nothing; the top is cut so that below(A + 1) stays inside the
// generator's 32-bit range.
int64_t plasmaAmplitude(int64_t full, int32_t roughness, int32_t depth) {
    double range = static_cast<double>(full + 1);
    double a = range / static_cast<double>(2 * depth) * static_cast<double>(roughness) * 0.1;
    if (!(a > 0.0)) return 0;
    if (a >= 4294967294.0) return 4294967294;
    return static_cast<int64_t>(a);
}

// Plasma parameters and picture geometry of one apply.
struct tlPlasmaCanvas {
    uint8_t *store = nullptr;
    ptrdiff_t stride = 0;
    tlRandom *random = nullptr;
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // inclusive corners
    int32_t roughness = 0;
    bool wrap = false;
};

// The plasma for one pixel format: samples of Bits bits, Colours colour
// channels (3 for RGB, 1 for gray and indexed), an optional alpha channel,
// and with Gray one draw per displacement copied to all colour channels.
// Pixels are read and written in place in the picture's own format, as
// getPixel and setPixel copy them; the format is fixed at compile time so
// the cell code has no per-pixel branches on it.
template <int32_t Bits, int32_t Colours, bool Alpha, bool Gray>
class tlPlasmaPainter {
public:
    static constexpr int32_t sampleBytes = Bits / 8;
    static constexpr ptrdiff_t pixelBytes = (Colours + (Alpha ? 1 : 0)) * sampleBytes;
    static constexpr int32_t full = Bits == 8 ? 255 : 65535;

    explicit tlPlasmaPainter(const tlPlasmaCanvas &canvas) : p(canvas), random(*canvas.random) {}

    void seedPoints();
    // One level: the cells of depth `level`, walked in quadrant order.
    bool runLevel(int32_t level) {
        amplitude = plasmaAmplitude(full, p.roughness, level);
        half = amplitude / 2;
        bound = tlBound(static_cast<uint32_t>(amplitude + 1));
        return subdivide(p.x0, p.y0, p.x1, p.y1, level);
    }

private:
    // Colour channels first, then alpha (ignored without an alpha channel).
    struct Pixel {
        int32_t c0, c1, c2;  // c1 and c2 unused with one colour channel
        int32_t alpha;       // unused without an alpha channel
    };

    uint8_t *row(int64_t y) const { return p.store + static_cast<ptrdiff_t>(y) * p.stride; }

    static int32_t sample(const uint8_t *s, int32_t c) {
        return Bits == 8 ? s[c] : static_cast<int32_t>(load16(s + 2 * c));
    }
    static void setSample(uint8_t *s, int32_t c, int32_t v) {
        if (Bits == 8)
            s[c] = static_cast<uint8_t>(v);
        else
            store16(s + 2 * c, static_cast<uint32_t>(v));
    }

    static Pixel load(const uint8_t *s) {
        Pixel out = {sample(s, 0), 0, 0, full};
        if (Colours == 3) out.c1 = sample(s, 1), out.c2 = sample(s, 2);
        if (Alpha) out.alpha = sample(s, Colours);
        return out;
    }
    static void store(uint8_t *s, const Pixel &pixel) {
        setSample(s, 0, pixel.c0);
        if (Colours == 3) setSample(s, 1, pixel.c1), setSample(s, 2, pixel.c2);
        if (Alpha) setSample(s, Colours, pixel.alpha);
    }

    // avg: (p + q) >> 1 per colour channel, alpha full.
    static Pixel average(const Pixel &a, const Pixel &b) {
        return {(a.c0 + b.c0) >> 1, (a.c1 + b.c1) >> 1, (a.c2 + b.c2) >> 1, full};
    }

    // v + below(A + 1) − A / 2, clamped to the channel; the draw is the
    // next of the cell's numbers.
    int32_t displaced(int32_t v, const uint32_t *&draw) const {
        int64_t w = v + static_cast<int64_t>(*draw++) - half;
        return static_cast<int32_t>(w < 0 ? 0 : (w > full ? full : w));
    }

    // displace: every colour channel in order; with Gray one draw from the
    // first channel for all of them.
    Pixel displace(Pixel pixel, const uint32_t *&draw) const {
        pixel.c0 = displaced(pixel.c0, draw);
        if (Colours == 3 && Gray) pixel.c1 = pixel.c2 = pixel.c0;
        if (Colours == 3 && !Gray) {
            pixel.c1 = displaced(pixel.c1, draw);
            pixel.c2 = displaced(pixel.c2, draw);
        }
        return pixel;
    }

    // A random seed pixel: below(256) per drawn channel, × 257 at 16 bits,
    // alpha full.
    Pixel randomPixel() {
        constexpr int32_t scale = Bits == 16 ? 257 : 1;
        Pixel out = {static_cast<int32_t>(random.below(256)) * scale, 0, 0, full};
        if (Colours == 3 && Gray) out.c1 = out.c2 = out.c0;
        if (Colours == 3 && !Gray) {
            out.c1 = static_cast<int32_t>(random.below(256)) * scale;
            out.c2 = static_cast<int32_t>(random.below(256)) * scale;
        }
        return out;
    }

    void put(int64_t x, int64_t y, const Pixel &pixel) {
        store(row(y) + static_cast<ptrdiff_t>(x) * pixelBytes, pixel);
    }

    bool subdivide(int64_t a, int64_t b, int64_t c, int64_t d, int32_t e);
    bool cell(int64_t a, int64_t b, int64_t c, int64_t d);

    const tlPlasmaCanvas p;
    tlRandom &random;
    int64_t amplitude = 0;
    int64_t half = 0;
    tlBound bound{1};
};

// Seed points: the corners, the centre and the edge midpoints; with wrap
// opposite corners and edge midpoints share one value.
template <int32_t Bits, int32_t Colours, bool Alpha, bool Gray>
void tlPlasmaPainter<Bits, Colours, Alpha, Gray>::seedPoints() {
    const int64_t x0 = p.x0, y0 = p.y0, x1 = p.x1, y1 = p.y1;
    const int64_t cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    if (p.wrap) {
        const Pixel corner = randomPixel();
        put(x0, y0, corner);
        put(x1, y0, corner);
        put(x0, y1, corner);
        put(x1, y1, corner);
        put(cx, cy, randomPixel());
        const Pixel side = randomPixel();
        put(x0, cy, side);
        put(x1, cy, side);
        const Pixel end = randomPixel();
        put(cx, y0, end);
        put(cx, y1, end);
        return;
    }
    const int64_t points[9][2] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}, {cx, cy},
                                  {x0, cy}, {x1, cy}, {cx, y0}, {cx, y1}};
    for (const auto &point : points) put(point[0], point[1], randomPixel());
}

// Walks the quadrants of the cell down to the cells of this level (e = 0);
// the answer is the last (largest, bottom-right) cell's.
template <int32_t Bits, int32_t Colours, bool Alpha, bool Gray>
bool tlPlasmaPainter<Bits, Colours, Alpha, Gray>::subdivide(int64_t a, int64_t b, int64_t c, int64_t d, int32_t e) {
    if (e == 0) return cell(a, b, c, d);
    if (a >= c && b >= d) return false;
    const int64_t mx = (a + c) / 2, my = (b + d) / 2;
    subdivide(a, b, mx, my, e - 1);
    subdivide(a, my, mx, d, e - 1);
    subdivide(mx, b, c, my, e - 1);
    return subdivide(mx, my, c, d, e - 1);
}

// A cell of the current level, corners (a, b) and (c, d) inclusive: edge
// midpoints from the corner averages, then the centre. With wrap the last
// column (row) takes its midpoints from the first one, so opposite edges
// continue each other. The corners are read before anything is written; the
// wrapped sources are read at the moment the rule names them.
template <int32_t Bits, int32_t Colours, bool Alpha, bool Gray>
bool tlPlasmaPainter<Bits, Colours, Alpha, Gray>::cell(int64_t a, int64_t b, int64_t c, int64_t d) {
    if (a == c && b == d) return true;
    const int64_t mx = (a + c) / 2, my = (b + d) / 2;
    uint8_t *top = row(b), *bottom = row(d), *middle = row(my);
    const ptrdiff_t left = static_cast<ptrdiff_t>(a) * pixelBytes, right = static_cast<ptrdiff_t>(c) * pixelBytes;
    const ptrdiff_t centre = static_cast<ptrdiff_t>(mx) * pixelBytes;
    // The numbers do not depend on the pixels, so the cell draws all of its
    // displacements first, in the order they are used.
    constexpr int32_t perPixel = Colours == 3 && !Gray ? 3 : 1;
    uint32_t numbers[5 * perPixel];
    const int32_t pixels = (a != c ? 2 : 0) + (b != d ? 2 : 0) + 1;
    random.below(bound, numbers, pixels * perPixel);
    const uint32_t *draw = numbers;

    const Pixel p00 = load(top + left), p01 = load(bottom + left);
    const Pixel p10 = load(top + right), p11 = load(bottom + right);
    if (a != c) {
        store(middle + left, displace(average(p00, p01), draw));
        const Pixel source = p.wrap && c == p.x1 ? load(middle + static_cast<ptrdiff_t>(p.x0) * pixelBytes)
                                                 : average(p10, p11);
        store(middle + right, displace(source, draw));
    }
    if (b != d) {
        const Pixel source = p.wrap && d == p.y1 ? load(row(p.y0) + centre) : average(p01, p11);
        store(bottom + centre, displace(source, draw));
        store(top + centre, displace(average(p00, p10), draw));
    }
    store(middle + centre, displace(average(average(p00, p11), average(p01, p10)), draw));
    return !(c - a < 3 && d - b < 3);
}

// Seed points, then levels 1, 2, … until a level's last cell is smaller
// than 3 × 3. A level count above 64 cannot happen: each level halves the
// largest cell.
template <int32_t Bits, int32_t Colours, bool Alpha, bool Gray>
void paintPlasma(const tlPlasmaCanvas &canvas) {
    tlPlasmaPainter<Bits, Colours, Alpha, Gray> painter(canvas);
    painter.seedPoints();
    for (int32_t level = 1; level <= 64; ++level)
        if (!painter.runLevel(level)) break;
}

typedef void (*tlPlasmaFunction)(const tlPlasmaCanvas &);

// The painter for a format. One colour channel draws once either way, so
// gray and indexed pictures ignore grayscale.
tlPlasmaFunction plasmaFunction(int32_t bits, tlColourModel model, bool alpha, bool grayscale) {
    if (model == tlColourModel::RGB) {
        if (bits == 8) {
            if (grayscale) return alpha ? paintPlasma<8, 3, true, true> : paintPlasma<8, 3, false, true>;
            return alpha ? paintPlasma<8, 3, true, false> : paintPlasma<8, 3, false, false>;
        }
        if (grayscale) return alpha ? paintPlasma<16, 3, true, true> : paintPlasma<16, 3, false, true>;
        return alpha ? paintPlasma<16, 3, true, false> : paintPlasma<16, 3, false, false>;
    }
    if (bits == 8) return alpha ? paintPlasma<8, 1, true, false> : paintPlasma<8, 1, false, false>;
    return alpha ? paintPlasma<16, 1, true, false> : paintPlasma<16, 1, false, false>;
}

}  // namespace

// Midpoint-displacement plasma on the destination alone: seed points, then
// level after level of ever smaller cells until the largest cell of a level
// is smaller than 3 × 3. The displacement falls as 1 / depth.
bool tlPlasmaEffect::apply(const tlPicture &, tlPicture &destination, tlProgress *) {
    if (destination.isEmpty() || !destination.format().isValid()) return true;
    tlRect rect;
    if (!destination.clippedWorkRect(rect)) return true;
    tlPlasmaCanvas canvas;
    canvas.x0 = rect.left;
    canvas.y0 = rect.top;
    canvas.x1 = rect.right - 1;
    canvas.y1 = rect.bottom - 1;
    if (canvas.x0 >= canvas.x1 || canvas.y0 >= canvas.y1) return true;
    tlRandom &random = sharedRandom();
    random.seed(static_cast<uint32_t>(seed));
    canvas.store = destination.store;
    canvas.stride = destination.stride;
    canvas.random = &random;
    canvas.roughness = roughness;
    canvas.wrap = wrap;
    plasmaFunction(destination.bits, destination.model, destination.hasAlpha(), grayscale)(canvas);
    return true;
}

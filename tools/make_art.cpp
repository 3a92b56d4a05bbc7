// Draws the game's pictures from geometry: the piece picture ball.bmp (a
// 16-colour brightness map that the game tints per piece), the program icon
// kuvex.ico and the mouse pointer kuvex.cur. A host tool run at build time:
//   make_art <outdir>
// Same bytes on every run: only IEEE arithmetic and sqrt, no randomness.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// ---- Little-endian file assembly ----------------------------------------

struct Bytes
{
    std::vector<uint8_t> v;
    void U8(unsigned x) { v.push_back(static_cast<uint8_t>(x)); }
    void U16(unsigned x)
    {
        U8(x & 0xFF);
        U8((x >> 8) & 0xFF);
    }
    void U32(uint32_t x)
    {
        U16(x & 0xFFFF);
        U16(x >> 16);
    }
};

void InfoHeader(Bytes &b, int width, int height, int bits, uint32_t imageSize, uint32_t colours)
{
    b.U32(40);
    b.U32(static_cast<uint32_t>(width));
    b.U32(static_cast<uint32_t>(height));
    b.U16(1);
    b.U16(static_cast<unsigned>(bits));
    b.U32(0); // BI_RGB
    b.U32(imageSize);
    b.U32(2835); // 72 dpi
    b.U32(2835);
    b.U32(colours);
    b.U32(0);
}

bool WriteFile(const std::string &path, const Bytes &b)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.v.data(), 1, b.v.size(), f) == b.v.size();
    return std::fclose(f) == 0 && ok;
}

// ---- Geometry -----------------------------------------------------------

struct Vec
{
    double x, y, z;
};

Vec Normalized(Vec a)
{
    double n = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return {a.x / n, a.y / n, a.z / n};
}

double Dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double Clamp01(double v)
{
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

// x^n for a small whole n: no pow, so the bytes never depend on the libm.
double PowN(double x, int n)
{
    double r = 1;
    for (int i = 0; i < n; ++i)
        r *= x;
    return r;
}

// All pictures are lit from the upper right and a little from the front
// (x right, y up, z towards the viewer).
const Vec kLight = Normalized({0.62, 0.62, 0.48});
// Half-way vector between the light and the viewer, for the highlight.
const Vec kHalf = Normalized({kLight.x, kLight.y, kLight.z + 1});

// ---- ball.bmp -----------------------------------------------------------

// The piece: 48 x 48. The game stretches it to the cell size (about 50 px
// in the default window, more when enlarged) with the default stretch mode,
// which combines dropped pixels by AND when shrinking; a picture slightly
// smaller than the usual cell is only ever enlarged and keeps clean bands.
constexpr int kBall = 48;

// Brightness of the unit sphere at (x, y) (y up), before scaling to indices:
// wrapped diffuse light so the shadow side still grades, plus a highlight.
double BallBrightness(double x, double y)
{
    double z = std::sqrt(Clamp01(1 - x * x - y * y));
    Vec n{x, y, z};
    double diffuse = Clamp01((Dot(n, kLight) + 0.95) / 1.95);
    double spot = PowN(Clamp01(Dot(n, kHalf)), 24);
    return diffuse * diffuse + 0.45 * spot;
}

Bytes MakeBall()
{
    // Coverage by 4 x 4 samples decides the silhouette; shading is taken at
    // the pixel centre, pulled inside the disc for the rim pixels.
    const double radius = kBall / 2.0 - 1.4, centre = kBall / 2.0;
    double level[kBall][kBall];
    bool inside[kBall][kBall];
    double lo = 1e9, hi = -1e9;
    for (int py = 0; py < kBall; ++py)
        for (int px = 0; px < kBall; ++px) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    double dx = px + (sx + 0.5) / 4 - centre, dy = py + (sy + 0.5) / 4 - centre;
                    hits += dx * dx + dy * dy <= radius * radius;
                }
            inside[py][px] = hits >= 8;
            double x = (px + 0.5 - centre) / radius, y = (centre - py - 0.5) / radius;
            double d = std::sqrt(x * x + y * y);
            if (d > 0.98) {
                x *= 0.98 / d;
                y *= 0.98 / d;
            }
            level[py][px] = BallBrightness(x, y);
            if (inside[py][px]) {
                lo = level[py][px] < lo ? level[py][px] : lo;
                hi = level[py][px] > hi ? level[py][px] : hi;
            }
        }

    // Index 0 at the darkest rim pixel, 14 at the brightest spot, 15 outside.
    uint8_t index[kBall][kBall];
    for (int py = 0; py < kBall; ++py)
        for (int px = 0; px < kBall; ++px)
            index[py][px] =
                inside[py][px] ? static_cast<uint8_t>((level[py][px] - lo) / (hi - lo) * 14 + 0.5) : 15;

    const int rowBytes = (kBall / 2 + 3) / 4 * 4;
    const uint32_t imageSize = static_cast<uint32_t>(rowBytes * kBall);
    Bytes b;
    b.U8('B');
    b.U8('M');
    b.U32(14 + 40 + 64 + imageSize);
    b.U32(0);
    b.U32(14 + 40 + 64);
    InfoHeader(b, kBall, kBall, 4, imageSize, 16);
    // The game replaces this table; this one shows a grey piece on the
    // default green field in an ordinary picture viewer.
    for (int i = 0; i < 15; ++i) {
        unsigned g = 60 + i * 195 / 14;
        b.U8(g);
        b.U8(g);
        b.U8(g);
        b.U8(0);
    }
    b.U32(0x0000C800);
    for (int py = kBall - 1; py >= 0; --py) { // bottom-up
        for (int px = 0; px < kBall; px += 2)
            b.U8(static_cast<unsigned>(index[py][px] << 4 | index[py][px + 1]));
        for (int pad = kBall / 2; pad < rowBytes; ++pad)
            b.U8(0);
    }
    return b;
}

// ---- Icon and cursor: 256-colour images with an AND mask -----------------

struct Rgb
{
    double r, g, b;
};

// The shared 256-colour table: 176 greys, 64 reds from dark to pure, and 16
// steps from pure red to white for the highlight on red.
void Palette(uint8_t rgb[256][3])
{
    for (int i = 0; i < 256; ++i) {
        int r, g, b;
        if (i < 176) {
            r = g = b = i * 255 / 175;
        } else if (i < 240) {
            r = 60 + (i - 176) * 195 / 63;
            g = b = 0;
        } else {
            r = 255;
            g = b = (i - 239) * 255 / 16;
        }
        rgb[i][0] = static_cast<uint8_t>(r);
        rgb[i][1] = static_cast<uint8_t>(g);
        rgb[i][2] = static_cast<uint8_t>(b);
    }
}

int Nearest(const uint8_t pal[256][3], Rgb c)
{
    int best = 0;
    double bestD = 1e18;
    for (int i = 0; i < 256; ++i) {
        double dr = pal[i][0] - c.r, dg = pal[i][1] - c.g, db = pal[i][2] - c.b;
        double d = dr * dr + dg * dg + db * db;
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return best;
}

// A shape answers for one sample point (pixel coordinates, y down) whether
// it is covered and with what colour.
typedef bool (*Shader)(double x, double y, Rgb &out);

// One size x size 8-bit image with its AND mask, as stored in .ico/.cur.
// A pixel is opaque when at least half of its 6 x 6 samples are covered; its
// colour is the mean of the covered samples.
Bytes MaskedImage(int size, Shader shade)
{
    uint8_t pal[256][3];
    Palette(pal);
    std::vector<uint8_t> pixels(static_cast<size_t>(size * size));
    std::vector<bool> opaque(pixels.size());
    const int n = 6;
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            Rgb sum{0, 0, 0};
            int hits = 0;
            for (int sy = 0; sy < n; ++sy)
                for (int sx = 0; sx < n; ++sx) {
                    Rgb c;
                    if (shade(px + (sx + 0.5) / n, py + (sy + 0.5) / n, c)) {
                        sum.r += c.r;
                        sum.g += c.g;
                        sum.b += c.b;
                        ++hits;
                    }
                }
            size_t at = static_cast<size_t>(py * size + px);
            opaque[at] = hits * 2 >= n * n;
            pixels[at] = opaque[at]
                             ? static_cast<uint8_t>(Nearest(pal, {sum.r / hits, sum.g / hits, sum.b / hits}))
                             : 0;
        }

    const int maskRow = (size + 31) / 32 * 4;
    Bytes b;
    InfoHeader(b, size, size * 2, 8, static_cast<uint32_t>((size + maskRow) * size), 0);
    for (auto &c : pal) {
        b.U8(c[2]);
        b.U8(c[1]);
        b.U8(c[0]);
        b.U8(0);
    }
    for (int py = size - 1; py >= 0; --py)
        for (int px = 0; px < size; ++px)
            b.U8(pixels[static_cast<size_t>(py * size + px)]);
    for (int py = size - 1; py >= 0; --py)
        for (int byte = 0; byte < maskRow; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                int px = byte * 8 + bit;
                bool transparent = px >= size || !opaque[static_cast<size_t>(py * size + px)];
                bits |= (transparent ? 1u : 0u) << (7 - bit);
            }
            b.U8(bits);
        }
    return b;
}

// Directory of one image: type 1 icon, type 2 cursor (hot spot in place of
// planes and bit count).
Bytes IconFile(int type, int size, unsigned field4, unsigned field6, const Bytes &image)
{
    Bytes b;
    b.U16(0);
    b.U16(static_cast<unsigned>(type));
    b.U16(1);
    b.U8(static_cast<unsigned>(size));
    b.U8(static_cast<unsigned>(size));
    b.U8(0); // 256 colours
    b.U8(0);
    b.U16(field4);
    b.U16(field6);
    b.U32(static_cast<uint32_t>(image.v.size()));
    b.U32(6 + 16);
    b.v.insert(b.v.end(), image.v.begin(), image.v.end());
    return b;
}

Rgb Grey(double v)
{
    v = v < 0 ? 0 : v > 255 ? 255 : v;
    return {v, v, v};
}

// Lambert shade of a grey metal surface with a white highlight.
Rgb Metal(Vec n, double dark, double light, int shininess, double spotGain)
{
    double diffuse = Clamp01((Dot(n, kLight) + 0.3) / 1.3);
    double spot = PowN(Clamp01(Dot(n, kHalf)), shininess);
    return Grey(dark + (light - dark) * diffuse + spotGain * spot);
}

// kuvex.ico: a grey sphere, lit from the upper right, a small white spot.
bool IconShader(double x, double y, Rgb &out)
{
    const double cx = 16, cy = 16, r = 14.8;
    double nx = (x - cx) / r, ny = (cy - y) / r;
    double d2 = nx * nx + ny * ny;
    if (d2 > 1) return false;
    Vec n{nx, ny, std::sqrt(1 - d2)};
    out = Metal(n, 38, 205, 40, 150);
    // The rim darkens gradually, so the silhouette holds on light backgrounds.
    double rim = Clamp01((d2 - 0.75) / 0.25);
    out = Grey(out.r * (1 - 0.4 * rim * rim));
    return true;
}

// ---- kuvex.cur: a ring on a stem that ends in a red point at 0,0 ---------

double Length(double x, double y)
{
    return std::sqrt(x * x + y * y);
}

// Signed distance to a segment of half-width w (negative inside) and the
// offset across it, -1..1.
double Capsule(double x, double y, double ax, double ay, double bx, double by, double w, double &across)
{
    double vx = bx - ax, vy = by - ay, px = x - ax, py = y - ay;
    double t = Clamp01((px * vx + py * vy) / (vx * vx + vy * vy));
    double qx = px - t * vx, qy = py - t * vy;
    double len = Length(vx, vy);
    across = (qx * -vy + qy * vx) / len / w; // sign: side of the stem
    return Length(qx, qy) - w;
}

// Cursor geometry (pixel coordinates, y down).
constexpr double kRingX = 31.0, kRingY = 31.0, kRingMid = 11.0, kRingHalf = 3.0;
constexpr double kStemFromX = 22.5, kStemToX = 10.5, kStemHalf = 2.4;
// The red point: a slim cone from the stem's end to slightly beyond 0,0, so
// that the hot-spot pixel itself is drawn.
constexpr double kTipBaseX = 11.5, kTipHalf = 3.6, kTipEnd = -0.7;

bool CursorShader(double x, double y, Rgb &out)
{
    const double outline = 1.1;
    // Ring: a torus seen from the front.
    double dx = x - kRingX, dy = y - kRingY, d = Length(dx, dy);
    double ringDist = std::fabs(d - kRingMid) - kRingHalf;
    // Stem: a cylinder along the diagonal towards the upper left.
    double across;
    double stemDist = Capsule(x, y, kStemFromX, kStemFromX, kStemToX, kStemToX, kStemHalf, across);
    // Tip: a cone, its half-width shrinking linearly to 0 at the point.
    double along = (x + y) / std::sqrt(2.0) - kTipEnd * std::sqrt(2.0);
    double baseAlong = (kTipBaseX - kTipEnd) * std::sqrt(2.0);
    double side = (x - y) / std::sqrt(2.0);
    double tipHalf = kTipHalf * Clamp01(along / baseAlong);
    double tipDist = along < 0 || along > baseAlong ? 1e9 : std::fabs(side) - tipHalf;
    if (tipDist > 0 && along >= 0 && along <= baseAlong)
        tipDist = (std::fabs(side) - tipHalf) * baseAlong / Length(baseAlong, kTipHalf);

    double nearest = std::fmin(ringDist, std::fmin(stemDist, tipDist));
    if (nearest > 0) return false;
    bool tip = tipDist <= 0 && tipDist <= stemDist + 0.8;
    if (nearest > -outline) {
        out = tip ? Rgb{110, 0, 0} : Grey(45);
        return true;
    }
    if (tip) {
        // Cone normal: across the axis, tilted a little towards the point.
        double u = tipHalf > 0 ? side / tipHalf : 0;
        u = u < -1 ? -1 : u > 1 ? 1 : u;
        Vec n = Normalized({u * 0.7071, u * 0.7071, std::sqrt(1 - u * u) + 0.25});
        double diffuse = Clamp01((Dot(n, kLight) + 0.3) / 1.3);
        double spot = PowN(Clamp01(Dot(n, kHalf)), 20);
        out = {90 + 165 * diffuse + 120 * spot, 150 * spot, 150 * spot};
        out.r = out.r > 255 ? 255 : out.r;
        return true;
    }
    if (ringDist <= stemDist) {
        double u = (d - kRingMid) / kRingHalf; // -1 inner edge, 1 outer edge
        u = u < -1 ? -1 : u > 1 ? 1 : u;
        Vec n{u * dx / d, -u * dy / d, std::sqrt(1 - u * u)};
        out = Metal(n, 70, 215, 30, 110);
        return true;
    }
    // The stem's axis runs along (1, 1) in screen terms; across it points to
    // (-1, 1) (lower left), which in y-up terms is (-1, -1).
    double u = across < -1 ? -1 : across > 1 ? 1 : across;
    Vec n{-u * 0.7071, -u * 0.7071, std::sqrt(1 - u * u)};
    out = Metal(n, 70, 215, 30, 110);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art <outdir>\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = WriteFile(dir + "/ball.bmp", MakeBall()) &&
              WriteFile(dir + "/kuvex.ico", IconFile(1, 32, 1, 8, MaskedImage(32, IconShader))) &&
              WriteFile(dir + "/kuvex.cur", IconFile(2, 48, 0, 0, MaskedImage(48, CursorShader)));
    if (!ok) {
        std::fprintf(stderr, "make_art: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}

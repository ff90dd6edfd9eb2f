// make_assets: draws Czasomir's pictures and writes them into a directory:
//   czasomir.ico  the stopwatch icon, 32x32 and 16x16, 16 colours, with transparency masks
//   banner.gif    the logo at the top of the main window, 160x45, interlaced, transparent index 255
//   hand.cur      the pointing hand over the About box's links, 32x32, 1 bit, hot spot (0, 0)
// Everything is drawn with plain arithmetic (no library trigonometry), so every run on every
// machine writes the same bytes. Usage: make_assets <output directory>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put8(Bytes& out, unsigned v) { out.push_back(static_cast<std::uint8_t>(v)); }
void Put16(Bytes& out, unsigned v) {
  Put8(out, v & 0xFF);
  Put8(out, (v >> 8) & 0xFF);
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// ---------------------------------------------------------------- geometry

constexpr double kPi = 3.14159265358979323846;

// Sine by its series: the C library's sine may round differently from one system to another.
double Sin(double x) {
  while (x > kPi) x -= 2 * kPi;
  while (x < -kPi) x += 2 * kPi;
  double term = x, sum = x;
  for (int n = 1; n < 20; ++n) {
    term *= -x * x / ((2.0 * n) * (2.0 * n + 1));
    sum += term;
  }
  return sum;
}
double Cos(double x) { return Sin(x + kPi / 2); }
double Radians(double degrees) { return degrees * kPi / 180; }

struct Point {
  double x, y;
};

double Distance2ToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return ex * ex + ey * ey;
}

using Polyline = std::vector<Point>;

// Lines drawn with a round pen of the given radius.
struct Stroke {
  std::vector<Polyline> lines;
  double radius;

  bool Covers(Point p) const {
    for (const Polyline& line : lines)
      for (std::size_t i = 0; i < line.size(); ++i)
        if (Distance2ToSegment(p, line[i], line[i + 1 < line.size() ? i + 1 : i]) <= radius * radius) return true;
    return false;
  }
};

// An elliptical arc from one angle to another (degrees, counter-clockwise on screen, 0 = right).
Polyline Arc(Point centre, double rx, double ry, double fromDegrees, double toDegrees) {
  Polyline line;
  const int steps = 24;
  for (int i = 0; i <= steps; ++i) {
    const double a = Radians(fromDegrees + (toDegrees - fromDegrees) * i / steps);
    line.push_back({centre.x + rx * Cos(a), centre.y - ry * Sin(a)});
  }
  return line;
}

// A smooth curve through the points (Catmull-Rom); a point given twice makes a sharp turn.
Polyline Curve(const std::vector<Point>& points) {
  Polyline line;
  const std::size_t n = points.size();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const Point p0 = points[i > 0 ? i - 1 : i], p1 = points[i], p2 = points[i + 1];
    const Point p3 = points[i + 2 < n ? i + 2 : i + 1];
    const int steps = 8;
    for (int s = 0; s < steps; ++s) {
      const double t = static_cast<double>(s) / steps, t2 = t * t, t3 = t2 * t;
      auto blend = [&](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (3 * b - a - 3 * c + d) * t3);
      };
      line.push_back({blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y)});
    }
  }
  if (n > 0) line.push_back(points.back());
  return line;
}

// Share of a pixel covered by a shape, from a 4 x 4 grid of samples.
template <typename Shape>
double Coverage(const Shape& covers, int x, int y) {
  int hits = 0;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) hits += covers(Point{x + (i + 0.5) / 4, y + (j + 0.5) / 4}) ? 1 : 0;
  return hits / 16.0;
}

// ---------------------------------------------------------------- pictures

constexpr std::uint8_t kClear = 0xFF;  // a transparent pixel in icons and cursors

// A grid of palette indices.
struct Picture {
  int width, height;
  std::vector<std::uint8_t> pixels;

  Picture(int w, int h, std::uint8_t fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  std::uint8_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Pixel art: one character a pixel, looked up in a key of (character, palette index) pairs.
Picture FromArt(const std::vector<std::string_view>& rows, std::string_view keys, const std::vector<std::uint8_t>& values) {
  Picture picture(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()), kClear);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) picture.at(x, y) = values.at(keys.find(rows[y][x]));
  return picture;
}

// ---------------------------------------------------------------- icon and cursor files

// The 16 colours every Windows display has, in the order of the standard 4-bit palette.
const std::vector<std::uint32_t> kWindowsPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
enum : std::uint8_t { kBlack = 0, kSilver = 7, kGrey = 8, kRed = 9, kWhite = 15 };

struct IconImage {
  Picture picture;
  int bitsPerPixel;
  std::vector<std::uint32_t> palette;
  int hotX = 0, hotY = 0;  // cursors only
};

// A device-independent bitmap as icons and cursors hold it: header (height doubled), palette,
// colour bits, then the AND mask (1 = transparent); rows bottom-up, each padded to 4 bytes.
Bytes IconBitmap(const IconImage& image) {
  const Picture& p = image.picture;
  const int colourStride = (p.width * image.bitsPerPixel + 31) / 32 * 4;
  const int maskStride = (p.width + 31) / 32 * 4;
  Bytes out;
  Put32(out, 40);
  Put32(out, p.width);
  Put32(out, p.height * 2);
  Put16(out, 1);
  Put16(out, image.bitsPerPixel);
  Put32(out, 0);  // BI_RGB
  Put32(out, (colourStride + maskStride) * p.height);
  for (int i = 0; i < 4; ++i) Put32(out, 0);  // resolution, colours used and important: defaults
  for (std::uint32_t rgb : image.palette) Put32(out, rgb);  // stored blue, green, red, 0
  auto putRows = [&](int bits, int stride, auto value) {
    for (int y = p.height - 1; y >= 0; --y) {
      Bytes row(stride, 0);
      for (int x = 0; x < p.width; ++x) {
        const int bit = x * bits;
        row[bit / 8] |= static_cast<std::uint8_t>(value(p.at(x, y)) << (8 - bits - bit % 8));
      }
      out.insert(out.end(), row.begin(), row.end());
    }
  };
  putRows(image.bitsPerPixel, colourStride, [](std::uint8_t v) { return v == kClear ? 0 : v; });
  putRows(1, maskStride, [](std::uint8_t v) { return v == kClear ? 1 : 0; });
  return out;
}

// An .ico (type 1) or .cur (type 2) file: directory, entries, then the bitmaps.
Bytes IconFile(int type, const std::vector<IconImage>& images) {
  Bytes out;
  Put16(out, 0);
  Put16(out, type);
  Put16(out, static_cast<unsigned>(images.size()));
  std::vector<Bytes> bitmaps;
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const IconImage& image : images) {
    bitmaps.push_back(IconBitmap(image));
    Put8(out, image.picture.width);
    Put8(out, image.picture.height);
    Put8(out, image.bitsPerPixel < 8 ? 1u << image.bitsPerPixel : 0);
    Put8(out, 0);
    Put16(out, type == 1 ? 1 : image.hotX);             // icon: planes; cursor: hot spot x
    Put16(out, type == 1 ? image.bitsPerPixel : image.hotY);  // icon: bits per pixel; cursor: hot spot y
    Put32(out, static_cast<std::uint32_t>(bitmaps.back().size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(bitmaps.back().size());
  }
  for (const Bytes& bitmap : bitmaps) out.insert(out.end(), bitmap.begin(), bitmap.end());
  return out;
}

// ---------------------------------------------------------------- the stopwatch icon

// 32 x 32: the body is a disc around the middle of pixel (15, 18); a grey rim lit from the
// upper left surrounds the white dial; the crown stands on top and a button at each side.
Picture Stopwatch32() {
  const Point centre{15.5, 18.5};
  const double bodyRadius = 13.4, dialRadius = 10.4;
  enum Part { kOutside, kMetal, kDial };
  auto partAt = [&](int x, int y) {
    const Point p{x + 0.5, y + 0.5};
    const double dx = p.x - centre.x, dy = p.y - centre.y, d = std::sqrt(dx * dx + dy * dy);
    if (d <= dialRadius) return kDial;
    if (d <= bodyRadius) return kMetal;
    if (p.x > 12 && p.x < 19 && p.y < 3) return kMetal;   // crown cap
    if (p.x > 13 && p.x < 18 && p.y < 6) return kMetal;   // crown stem
    const double along = std::abs(dx) * std::sqrt(0.5) - dy * std::sqrt(0.5);  // towards 10:30 or 1:30
    const double across = std::abs(dx) * std::sqrt(0.5) + dy * std::sqrt(0.5);
    if (along > bodyRadius - 1 && along < bodyRadius + 3 && std::abs(across) < 1.7) return kMetal;  // buttons
    return kOutside;
  };
  auto part = [&](int x, int y) { return x < 0 || y < 0 || x >= 32 || y >= 32 ? kOutside : partAt(x, y); };

  Picture icon(32, 32, kClear);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const Part here = part(x, y);
      if (here == kOutside) continue;
      bool edge = false;
      for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
        const Part there = part(nx, ny);
        edge = edge || there == kOutside || (here == kDial && there != kDial);
      }
      if (edge)
        icon.at(x, y) = kBlack;
      else if (here == kDial)
        icon.at(x, y) = kWhite;
      else
        icon.at(x, y) = (x + 0.5 - centre.x) + (y + 0.5 - centre.y) < 0 ? kSilver : kGrey;
    }

  // Red marks every hour, longer at 12, 3, 6 and 9.
  for (int hour = 0; hour < 12; ++hour) {
    const double a = Radians(hour * 30);
    for (double r : hour % 3 == 0 ? std::vector{6.9, 8.0} : std::vector{8.0})
      icon.at(static_cast<int>(centre.x + r * Sin(a)), static_cast<int>(centre.y - r * Cos(a))) = kRed;
  }
  // Black hands: the long one at 12, the short one at 2, and the hub.
  const Stroke hands{{{centre, {centre.x, centre.y - 6.6}}, {centre, {centre.x + 5 * Sin(Radians(60)), centre.y - 5 * Cos(Radians(60))}}}, 0.55};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (hands.Covers({x + 0.5, y + 0.5}) || (std::abs(x + 0.5 - centre.x) + std::abs(y + 0.5 - centre.y) <= 1))
        icon.at(x, y) = kBlack;
  return icon;
}

// 16 x 16, drawn by hand: at this size every pixel counts.
Picture Stopwatch16() {
  return FromArt(
      {
          ".....kkkkkk.....",
          ".....kssssk.....",
          ".....kkkkkk.....",
          "..k....kk....k..",
          ".ksk..kkkk..ksk.",
          "..kkkksssskkkk..",
          "...ksswrrwsgk...",
          "..kswwwkwwwwgk..",
          "..kswwwkwwwwgk..",
          "..ksrwwkwwwrgk..",
          "..ksrwwkkkwrgk..",
          "..kswwwwwwwwgk..",
          "..kswwwwwwwwgk..",
          "...kggwrrwggk...",
          "....kkggggkk....",
          "......kkkk......",
      },
      ".kswgr", {kClear, kBlack, kSilver, kWhite, kGrey, kRed});
}

// ---------------------------------------------------------------- the hand cursor

// A white hand with a black outline, index finger up; its tip is at the top, 6 pixels right of
// the hot spot in the top-left corner.
Picture Hand() {
  std::vector<std::string_view> rows = {
      "......##........................",
      ".....#oo#.......................",
      ".....#oo#.......................",
      ".....#oo#.......................",
      ".....#oo#.......................",
      ".....#oo#.......................",
      ".....#oo###.....................",
      ".....#oo#oo###..................",
      ".....#oo#oo#oo###...............",
      ".....#oo#oo#oo#oo#..............",
      "..##.#oo#oo#oo#oo#..............",
      ".#oo##oo#oo#oo#oo#..............",
      ".#ooo#oooooooooooo#.............",
      "..#oooooooooooooooo#............",
      "..#oooooooooooooooo#............",
      "...#ooooooooooooooo#............",
      "...#ooooooooooooooo#............",
      "....#ooooooooooooo#.............",
      "....#ooooooooooooo#.............",
      ".....#ooooooooooo#..............",
      ".....#ooooooooooo#..............",
      ".....#############..............",
  };
  rows.resize(32, "................................");
  return FromArt(rows, ".#o", {kClear, 0, 1});
}

// ---------------------------------------------------------------- the banner

constexpr int kBannerWidth = 160, kBannerHeight = 45;
constexpr std::uint8_t kBannerClear = 255;
// Palette: 0 black; 1..64 greys from black to white; 65..96 the dark blue ink fading into
// the paper colour; 255 the transparent colour (the classic button face, for viewers
// that ignore transparency); the rest unused (black).
constexpr int kGreyFirst = 1, kGreyLevels = 64, kInkFirst = 65, kInkLevels = 32;
constexpr std::uint32_t kInk = 0x102478, kPaper = 0xFFFFFF;

std::uint32_t Mix(std::uint32_t from, std::uint32_t to, double t) {
  std::uint32_t rgb = 0;
  for (int shift = 16; shift >= 0; shift -= 8) {
    const double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
    rgb |= static_cast<std::uint32_t>(std::lround(a + (b - a) * t)) << shift;
  }
  return rgb;
}

std::array<std::uint32_t, 256> BannerPalette() {
  std::array<std::uint32_t, 256> palette{};
  for (int i = 0; i < kGreyLevels; ++i) palette[kGreyFirst + i] = Mix(0x000000, 0xFFFFFF, i / (kGreyLevels - 1.0));
  for (int i = 0; i < kInkLevels; ++i) palette[kInkFirst + i] = Mix(kInk, kPaper, i / (kInkLevels - 1.0));
  palette[kBannerClear] = 0xD4D0C8;
  return palette;
}

std::uint8_t Grey(double level) { return static_cast<std::uint8_t>(kGreyFirst + std::lround(std::clamp(level, 0.0, 1.0) * (kGreyLevels - 1))); }
std::uint8_t Ink(double coverage) { return static_cast<std::uint8_t>(kInkFirst + std::lround((1 - std::clamp(coverage, 0.0, 1.0)) * (kInkLevels - 1))); }

// Polished metal: light at the top darkening to the middle, dark below it brightening to the foot.
double Silver(double t) { return t < 0.5 ? 1.0 - 0.9 * t : 0.3 + 0.9 * (t - 0.5); }

// Capitals drawn with a round pen, 20 pixels high, in boxes whose width is given.
struct Capital {
  char letter;
  double width;
  std::vector<Polyline> lines;
};

std::vector<Capital> Capitals() {
  const double h = 20, m = 2;  // height and the pen's inset from the box
  auto join = [](Polyline a, const Polyline& b) { a.insert(a.end(), b.begin(), b.end()); return a; };
  return {
      {'Z', 12, {{{m, m}, {12 - m, m}, {m, h - m}, {12 - m, h - m}}}},
      {'A', 14, {{{m, h - m}, {7, m}, {14 - m, h - m}}, {{4.4, 13}, {9.6, 13}}}},
      {'S', 12, {join(Arc({6, 6}, 4, 4, 30, 270), Arc({6, 14}, 4, 4, 90, -150))}},
      {'O', 14, {Arc({7, 10}, 5, 8, 0, 360)}},
      {'M', 16, {{{m, h - m}, {2.5, m}, {8, 13}, {13.5, m}, {16 - m, h - m}}}},
      {'I', 4, {{{m, m}, {m, h - m}}}},
      {'R', 12, {{{m, h - m}, {m, m}, {6, m}}, join(Arc({6, 6.5}, 4, 4.5, 90, -90), Polyline{{m, 11}}), {{6, 11}, {12 - m, h - m}}}},
  };
}

// Lower-case script letters: points in units of the x-height, y up from the baseline.
// A point given twice is a sharp turn; `dot` is the dot over an i (when above the baseline).
struct ScriptLetter {
  char letter;
  double advance;
  std::vector<Point> points;
  Point dot{0, -1};
};

const std::vector<ScriptLetter>& ScriptLetters() {
  static const std::vector<ScriptLetter> letters = {
      {'m', 1.00, {{0.00, 0.30}, {0.12, 0.95}, {0.12, 0.95}, {0.10, 0.00}, {0.10, 0.00}, {0.18, 0.65}, {0.32, 0.95},
                   {0.44, 0.75}, {0.44, 0.00}, {0.44, 0.00}, {0.52, 0.65}, {0.66, 0.95}, {0.78, 0.75}, {0.78, 0.12},
                   {0.86, 0.00}, {1.00, 0.20}}},
      {'i', 0.42, {{0.20, 0.95}, {0.20, 0.95}, {0.14, 0.12}, {0.24, 0.00}, {0.42, 0.22}}, {0.26, 1.2}},
      {'e', 0.58, {{0.15, 0.35}, {0.45, 0.60}, {0.48, 0.88}, {0.30, 0.95}, {0.12, 0.60}, {0.10, 0.20}, {0.28, 0.00},
                   {0.55, 0.22}}},
      {'r', 0.55, {{0.12, 0.95}, {0.12, 0.95}, {0.10, 0.00}, {0.10, 0.00}, {0.18, 0.60}, {0.34, 0.92}, {0.55, 0.90}}},
      {'z', 0.75, {{0.10, 0.92}, {0.55, 0.95}, {0.55, 0.95}, {0.08, 0.02}, {0.08, 0.02}, {0.35, 0.06}, {0.62, 0.00},
                   {0.80, 0.20}}},
      {'y', 0.80, {{0.10, 0.95}, {0.10, 0.95}, {0.10, 0.30}, {0.24, 0.00}, {0.46, 0.25}, {0.56, 0.95}, {0.56, 0.95},
                   {0.54, -0.40}, {0.42, -0.65}, {0.24, -0.60}, {0.30, -0.35}, {0.75, -0.05}}},
      {'c', 0.80, {{0.30, 0.88}, {0.50, 0.95}, {0.50, 0.95}, {0.25, 0.92}, {0.10, 0.55}, {0.14, 0.15}, {0.32, 0.00},
                   {0.70, 0.15}}},
      {'a', 0.80, {{0.55, 0.80}, {0.40, 0.95}, {0.16, 0.75}, {0.10, 0.30}, {0.24, 0.00}, {0.45, 0.30}, {0.58, 0.95},
                   {0.58, 0.95}, {0.52, 0.12}, {0.62, 0.00}, {0.80, 0.22}}},
      {'s', 0.55, {{0.25, 0.95}, {0.25, 0.95}, {0.50, 0.50}, {0.45, 0.10}, {0.25, 0.00}, {0.05, 0.12}}},
      {'p', 0.72, {{0.00, 0.40}, {0.18, 0.95}, {0.18, 0.95}, {0.12, -0.65}, {0.12, -0.65}, {0.14, 0.45}, {0.36, 0.95},
                   {0.58, 0.72}, {0.54, 0.18}, {0.32, 0.00}, {0.16, 0.15}, {0.16, 0.15}, {0.60, 0.25}}},
  };
  return letters;
}

// The script line as strokes: each word one joined line, slanted to the right.
// `origin` is the start of the baseline; letters are `width` pixels per unit wide.
Stroke Script(std::string_view text, Point origin, double xHeight, double width, double slant, double penRadius, double wordGap) {
  Stroke stroke{{}, penRadius};
  std::vector<Point> word;
  double pen = 0;
  auto place = [&](Point p) { return Point{origin.x + (pen + p.x) * width + slant * p.y * xHeight, origin.y - p.y * xHeight}; };
  auto endWord = [&] {
    if (!word.empty()) stroke.lines.push_back(Curve(word));
    word.clear();
  };
  for (char c : text) {
    if (c == ' ') {
      endWord();
      pen += wordGap;
      continue;
    }
    const auto& letters = ScriptLetters();
    const auto letter = std::find_if(letters.begin(), letters.end(), [c](const ScriptLetter& l) { return l.letter == c; });
    for (Point p : letter->points) word.push_back(place(p));
    if (letter->dot.y > 0) stroke.lines.push_back({place(letter->dot)});
    pen += letter->advance;
  }
  endWord();
  return stroke;
}

// A mask grown by one pixel in all eight directions.
std::vector<bool> Grow(const std::vector<bool>& mask, int width, int height) {
  std::vector<bool> grown(mask.size(), false);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < width && ny < height && mask[ny * width + nx]) grown[y * width + x] = true;
        }
  return grown;
}

// A mask shrunk by one pixel: what stays when everything touching the outside goes.
std::vector<bool> Shrink(std::vector<bool> mask, int width, int height) {
  mask.flip();
  mask = Grow(mask, width, height);
  mask.flip();
  return mask;
}

// The logo: a large decorative C spanning both lines, "ZASOMIR" in silver capitals beside it,
// and below them, on a white label edged in blue, the motto in dark blue script. The rest is
// transparent so that the window shows through: about two fifths of the banner, a share set by
// the label's length and the weight of the letters.
Picture Banner() {
  Picture banner(kBannerWidth, kBannerHeight, kBannerClear);
  const int w = kBannerWidth, h = kBannerHeight;

  // The label: a rounded bar along the lower rows, under the capitals.
  const Point labelLeft{55, 36}, labelRight{146, 36};
  const double labelRadius = 9;
  const Stroke motto = Script("mierzy czas pracy", {49, 39}, 7.5, 8.3, 0.3, 0.68, 0.5);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double d = std::sqrt(Distance2ToSegment({x + 0.5, y + 0.5}, labelLeft, labelRight));
      if (d > labelRadius) continue;
      banner.at(x, y) = d > labelRadius - 1.2 ? Ink(1) : Ink(Coverage([&](Point p) { return motto.Covers(p); }, x, y));
    }

  // Metal letters with a black outline: the initial C, an outer oval less an inner one set to
  // the right, open at the right, its ends rounded off, a light line engraved two pixels inside
  // its edge; then the capitals.
  const Point outer{19, 22.5}, inner{22.5, 22.5};
  auto inOval = [](Point p, Point c, double rx, double ry) {
    const double dx = (p.x - c.x) / rx, dy = (p.y - c.y) / ry;
    return dx * dx + dy * dy <= 1;
  };
  auto initial = [&](Point p) {
    for (double side : {-1.0, 1.0}) {
      const double bx = p.x - (outer.x + 13.6), by = p.y - (outer.y + side * 11.6);
      if (bx * bx + by * by <= 3.3 * 3.3) return true;
    }
    const double dx = p.x - outer.x, dy = p.y - outer.y;
    const bool mouth = dx > 0 && std::abs(dy) < dx * 0.85;
    return !mouth && inOval(p, outer, 18.5, 21.5) && !inOval(p, inner, 13.2, 16.2);
  };
  std::vector<bool> metal(static_cast<std::size_t>(w) * h, false);
  std::vector<double> shade(metal.size(), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < 40; ++x)
      if (Coverage(initial, x, y) >= 0.5) {
        metal[y * w + x] = true;
        shade[y * w + x] = Silver((y + 0.5) / h);
      }
  const std::vector<bool> inset2 = Shrink(Shrink(metal, w, h), w, h), inset3 = Shrink(inset2, w, h);
  for (std::size_t i = 0; i < metal.size(); ++i)
    if (inset2[i] && !inset3[i]) shade[i] = 1;
  const int capsTop = 2;
  double left = 41;
  for (const Capital& capital : Capitals()) {
    const Stroke stroke{capital.lines, 1.75};
    for (int y = capsTop; y < capsTop + 20; ++y)
      for (int x = static_cast<int>(left); x <= left + capital.width; ++x) {
        const Point origin{left, static_cast<double>(capsTop)};
        if (Coverage([&](Point p) { return stroke.Covers({p.x - origin.x, p.y - origin.y}); }, x, y) >= 0.5) {
          metal[y * w + x] = true;
          shade[y * w + x] = Silver((y + 0.5 - capsTop) / 20);
        }
      }
    left += capital.width + 4.5;
  }
  const std::vector<bool> outline = Grow(metal, w, h);
  for (std::size_t i = 0; i < metal.size(); ++i)
    if (metal[i])
      banner.pixels[i] = Grey(shade[i]);
    else if (outline[i])
      banner.pixels[i] = 0;
  return banner;
}

// ---------------------------------------------------------------- GIF

// GIF's variable-length LZW: codes start one bit wider than the minimum code size, grow as
// the table grows up to 12 bits, and the table starts afresh (clear code) once it is full.
Bytes Lzw(const std::vector<std::uint8_t>& indices, int minCodeSize) {
  const unsigned clear = 1u << minCodeSize, end = clear + 1;
  Bytes out;
  std::uint32_t bits = 0;
  int bitCount = 0;
  unsigned width = minCodeSize + 1, next = end + 1;
  auto emit = [&](unsigned code) {
    bits |= code << bitCount;
    bitCount += width;
    for (; bitCount >= 8; bitCount -= 8, bits >>= 8) Put8(out, bits & 0xFF);
  };
  std::unordered_map<std::uint32_t, unsigned> table;  // (prefix code << 8 | next index) -> code
  auto restart = [&] {
    table.clear();
    width = minCodeSize + 1;
    next = end + 1;
  };
  emit(clear);
  unsigned prefix = indices.front();
  for (std::size_t i = 1; i < indices.size(); ++i) {
    const std::uint32_t key = prefix << 8 | indices[i];
    if (const auto found = table.find(key); found != table.end()) {
      prefix = found->second;
      continue;
    }
    emit(prefix);
    table[key] = next++;
    if (next - 1 == (1u << width) && width < 12) ++width;  // the decoder widens one code later
    if (next == 4096) {
      emit(clear);
      restart();
    }
    prefix = indices[i];
  }
  emit(prefix);
  if (next == (1u << width) && width < 12) ++width;  // the decoder's table grew on that last code
  emit(end);
  if (bitCount > 0) Put8(out, bits & 0xFF);
  return out;
}

Bytes Gif(const Picture& picture, const std::array<std::uint32_t, 256>& palette, std::uint8_t transparent) {
  Bytes out;
  for (char c : std::string_view("GIF89a")) Put8(out, static_cast<unsigned char>(c));
  Put16(out, picture.width);
  Put16(out, picture.height);
  Put8(out, 0xF7);  // global colour table of 256 entries, 8 bits of colour resolution
  Put8(out, transparent);  // background colour
  Put8(out, 0);            // square pixels
  for (std::uint32_t rgb : palette) {
    Put8(out, rgb >> 16);
    Put8(out, (rgb >> 8) & 0xFF);
    Put8(out, rgb & 0xFF);
  }
  for (unsigned b : {0x21u, 0xF9u, 4u, 0x01u, 0u, 0u, unsigned{transparent}, 0u}) Put8(out, b);  // graphic control: transparent index
  Put8(out, 0x2C);  // image descriptor
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, picture.width);
  Put16(out, picture.height);
  Put8(out, 0x40);  // interlaced, no local colour table
  std::vector<std::uint8_t> rows;  // rows in interlaced order: every 8th from 0, every 8th from 4, every 4th from 2, every 2nd from 1
  for (auto [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
    for (int y = first; y < picture.height; y += step)
      rows.insert(rows.end(), picture.pixels.begin() + y * picture.width, picture.pixels.begin() + (y + 1) * picture.width);
  Put8(out, 8);  // minimum code size
  const Bytes data = Lzw(rows, 8);
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, data.size() - at);
    Put8(out, static_cast<unsigned>(n));
    out.insert(out.end(), data.begin() + at, data.begin() + at + n);
  }
  Put8(out, 0);     // end of the image data
  Put8(out, 0x3B);  // trailer
  return out;
}

bool Write(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) std::fprintf(stderr, "make_assets: cannot write %s\n", path.c_str());
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets <output directory>\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);  // a failure shows when writing
  const bool ok =
      Write(dir + "czasomir.ico", IconFile(1, {{Stopwatch32(), 4, kWindowsPalette}, {Stopwatch16(), 4, kWindowsPalette}})) &
      Write(dir + "banner.gif", Gif(Banner(), BannerPalette(), kBannerClear)) &
      Write(dir + "hand.cur", IconFile(2, {{Hand(), 1, {0x000000, 0xFFFFFF}, 0, 0}}));
  return ok ? 0 : 1;
}

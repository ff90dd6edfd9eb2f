// The program's pictures: the files kept in app/res are exactly what make_assets draws, and
// each has the form that Windows and the main window expect of it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path kResources = CZASOMIR_RESOURCE_DIR;

Bytes ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

unsigned U8(const Bytes& b, std::size_t at) { return at < b.size() ? b[at] : 0; }
unsigned U16(const Bytes& b, std::size_t at) { return U8(b, at) | U8(b, at + 1) << 8; }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16; }

TEST(Assets, GeneratorRedrawsTheKeptFilesByteForByte) {
  const fs::path dir = fs::temp_directory_path() /
                       ("czasomir-assets-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  const std::string command = std::string("\"") + CZASOMIR_MAKE_ASSETS + "\" \"" + dir.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const char* name : {"czasomir.ico", "banner.gif", "hand.cur"}) {
    const Bytes fresh = ReadFile(dir / name);
    EXPECT_FALSE(fresh.empty()) << name;
    EXPECT_TRUE(fresh == ReadFile(kResources / name)) << name << " is not what make_assets draws: build update_assets";
  }
  fs::remove_all(dir);
}

// ---------------------------------------------------------------- icons and cursors

struct DirectoryEntry {
  unsigned width, height, colours, planesOrHotX, bitsOrHotY;
  std::uint32_t size, offset;
};

// The directory of an .ico (type 1) or .cur (type 2) file.
std::vector<DirectoryEntry> ReadDirectory(const Bytes& file, unsigned type) {
  EXPECT_EQ(U16(file, 0), 0u);
  EXPECT_EQ(U16(file, 2), type);
  std::vector<DirectoryEntry> entries;
  for (unsigned i = 0; i < U16(file, 4); ++i) {
    const std::size_t at = 6 + 16 * i;
    const DirectoryEntry e{U8(file, at), U8(file, at + 1), U8(file, at + 2), U16(file, at + 4), U16(file, at + 6),
                           U32(file, at + 8), U32(file, at + 12)};
    EXPECT_LE(std::uint64_t{e.offset} + e.size, file.size()) << "image " << i << " runs past the end";
    entries.push_back(e);
  }
  return entries;
}

// One image of an icon or cursor: BITMAPINFOHEADER with doubled height, palette, colour bits,
// AND mask; rows bottom-up, each padded to 4 bytes.
struct IconBitmap {
  const Bytes& file;
  std::size_t at;
  int width = 0, height = 0, bits = 0;
  std::size_t colours = 0, mask = 0, end = 0;

  IconBitmap(const Bytes& f, const DirectoryEntry& entry) : file(f), at(entry.offset) {
    EXPECT_EQ(U32(file, at), 40u) << "BITMAPINFOHEADER";
    width = static_cast<int>(U32(file, at + 4));
    height = static_cast<int>(U32(file, at + 8)) / 2;
    EXPECT_EQ(U32(file, at + 8), 2u * entry.height) << "height counts colour bits and mask";
    EXPECT_EQ(U16(file, at + 12), 1u) << "planes";
    bits = static_cast<int>(U16(file, at + 14));
    EXPECT_EQ(U32(file, at + 16), 0u) << "uncompressed";
    const std::uint32_t used = U32(file, at + 32);
    colours = at + 40 + 4 * (used != 0 ? used : 1u << bits);
    mask = colours + static_cast<std::size_t>((width * bits + 31) / 32 * 4) * height;
    end = mask + static_cast<std::size_t>((width + 31) / 32 * 4) * height;
    EXPECT_EQ(end - at, entry.size) << "the directory's size covers header, palette, colours and mask";
  }
  std::uint32_t PaletteEntry(int i) const { return U32(file, at + 40 + 4 * i); }  // 0x00RRGGBB
  unsigned Index(int x, int y) const {
    const std::size_t row = colours + static_cast<std::size_t>((width * bits + 31) / 32 * 4) * (height - 1 - y);
    const int bit = x * bits;
    return (U8(file, row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
  }
  bool Transparent(int x, int y) const {
    const std::size_t row = mask + static_cast<std::size_t>((width + 31) / 32 * 4) * (height - 1 - y);
    return (U8(file, row + x / 8) >> (7 - x % 8)) & 1;
  }
};

TEST(Assets, IconHoldsTheStopwatchAt32And16PixelsIn16Colours) {
  const Bytes file = ReadFile(kResources / "czasomir.ico");
  const std::vector<DirectoryEntry> entries = ReadDirectory(file, 1);
  ASSERT_EQ(entries.size(), 2u);
  const std::vector<std::uint32_t> windowsColours = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  const unsigned kBlack = 0, kSilver = 7, kGrey = 8, kRed = 9, kWhite = 15;
  for (unsigned i = 0; i < 2; ++i) {
    const unsigned size = i == 0 ? 32 : 16;
    const DirectoryEntry& e = entries[i];
    SCOPED_TRACE(size);
    EXPECT_EQ(e.width, size);
    EXPECT_EQ(e.height, size);
    EXPECT_EQ(e.colours, 16u);
    EXPECT_EQ(e.planesOrHotX, 1u);
    EXPECT_EQ(e.bitsOrHotY, 4u);
    const IconBitmap image(file, e);
    EXPECT_EQ(image.width, static_cast<int>(size));
    EXPECT_EQ(image.bits, 4);
    for (int c = 0; c < 16; ++c) EXPECT_EQ(image.PaletteEntry(c), windowsColours[c]) << "colour " << c;

    // Transparent around the stopwatch, whose middle is the white dial; transparent pixels
    // carry colour 0 so that the AND/XOR drawing leaves the background as it is.
    const int n = static_cast<int>(size);
    std::vector<int> count(16, 0);
    int clear = 0;
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        if (image.Transparent(x, y)) {
          ++clear;
          EXPECT_EQ(image.Index(x, y), kBlack) << x << "," << y;
        } else {
          ++count[image.Index(x, y)];
        }
      }
    for (auto [x, y] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}}) EXPECT_TRUE(image.Transparent(x, y));
    EXPECT_GT(clear, n * n / 8);
    EXPECT_LT(clear, n * n / 2);
    EXPECT_FALSE(image.Transparent(n / 2 - 3, n / 2 + 4));
    EXPECT_EQ(image.Index(n / 2 - 3, n / 2 + 4), kWhite) << "dial";
    for (unsigned colour : {kBlack, kSilver, kGrey, kRed, kWhite}) EXPECT_GT(count[colour], 0) << "colour " << colour;
    EXPECT_GT(count[kWhite], n * n / 8) << "the dial is the largest part";
  }
}

TEST(Assets, CursorIsAMonochromeHandWithItsHotSpotInTheCorner) {
  const Bytes file = ReadFile(kResources / "hand.cur");
  const std::vector<DirectoryEntry> entries = ReadDirectory(file, 2);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].width, 32u);
  EXPECT_EQ(entries[0].height, 32u);
  EXPECT_EQ(entries[0].planesOrHotX, 0u) << "hot spot x";
  EXPECT_EQ(entries[0].bitsOrHotY, 0u) << "hot spot y";
  const IconBitmap image(file, entries[0]);
  EXPECT_EQ(image.width, 32);
  EXPECT_EQ(image.bits, 1);
  EXPECT_EQ(image.PaletteEntry(0), 0x000000u);
  EXPECT_EQ(image.PaletteEntry(1), 0xFFFFFFu);

  // The hot spot itself is off the hand; the fingertip is on the top row about 6 pixels right.
  EXPECT_TRUE(image.Transparent(0, 0));
  int tipPixels = 0, tipSum = 0, white = 0, black = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (image.Transparent(x, y)) {
        EXPECT_EQ(image.Index(x, y), 0u) << x << "," << y;
        continue;
      }
      (image.Index(x, y) == 1 ? white : black) += 1;
      if (y == 0) tipPixels += 1, tipSum += x;
    }
  ASSERT_GT(tipPixels, 0);
  EXPECT_NEAR(static_cast<double>(tipSum) / tipPixels, 6, 1.5);
  EXPECT_GT(white, 150) << "a white hand";
  EXPECT_GT(black, 60) << "with a black outline";
  EXPECT_GT(white, black);
}

// ---------------------------------------------------------------- the banner GIF

struct Gif {
  unsigned width = 0, height = 0, globalColours = 0, images = 0;
  unsigned left = 0, top = 0, imageWidth = 0, imageHeight = 0, minCodeSize = 0;
  bool interlaced = false, localColours = false, trailer = false;
  int transparent = -1;
  std::vector<std::uint32_t> palette;
  Bytes data;  // the image's LZW data, sub-blocks joined
};

// Reads the blocks of a GIF89a file; any damage shows as a failed expectation.
Gif ParseGif(const Bytes& file) {
  Gif gif;
  EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
  gif.width = U16(file, 6);
  gif.height = U16(file, 8);
  const unsigned packed = U8(file, 10);
  std::size_t at = 13;
  if (packed & 0x80) {
    gif.globalColours = 2u << (packed & 7);
    for (unsigned i = 0; i < gif.globalColours; ++i, at += 3)
      gif.palette.push_back(U8(file, at) << 16 | U8(file, at + 1) << 8 | U8(file, at + 2));
  }
  auto subBlocks = [&](Bytes* into) {
    for (unsigned n; at < file.size() && (n = file[at++]) != 0; at += n) {
      EXPECT_LE(at + n, file.size()) << "sub-block runs past the end";
      if (into != nullptr && at + n <= file.size()) into->insert(into->end(), file.begin() + at, file.begin() + at + n);
    }
  };
  while (at < file.size() && !gif.trailer) {
    switch (file[at++]) {
      case 0x21:
        if (U8(file, at) == 0xF9) {
          EXPECT_EQ(U8(file, at + 1), 4u) << "graphic control extension size";
          if (U8(file, at + 2) & 1) gif.transparent = static_cast<int>(U8(file, at + 5));
          at += 6;
          EXPECT_EQ(U8(file, at), 0u) << "graphic control extension terminator";
          ++at;
        } else {
          ++at;
          subBlocks(nullptr);
        }
        break;
      case 0x2C: {
        ++gif.images;
        gif.left = U16(file, at);
        gif.top = U16(file, at + 2);
        gif.imageWidth = U16(file, at + 4);
        gif.imageHeight = U16(file, at + 6);
        const unsigned flags = U8(file, at + 8);
        gif.localColours = flags & 0x80;
        gif.interlaced = flags & 0x40;
        at += 9;
        if (gif.localColours) at += 3 * (2u << (flags & 7));
        gif.minCodeSize = U8(file, at++);
        subBlocks(&gif.data);
        break;
      }
      case 0x3B:
        gif.trailer = true;
        break;
      default:
        ADD_FAILURE() << "unknown block at byte " << at - 1;
        return gif;
    }
  }
  EXPECT_TRUE(gif.trailer);
  EXPECT_EQ(at, file.size()) << "bytes after the trailer";
  return gif;
}

// Decodes GIF LZW data the way any viewer does; each fault in the stream fails the test.
std::vector<std::uint8_t> DecodeLzw(const Bytes& data, unsigned minCodeSize) {
  const unsigned clear = 1u << minCodeSize, end = clear + 1;
  std::vector<std::vector<std::uint8_t>> table;
  unsigned width = 0;
  auto restart = [&] {
    table.assign(clear + 2, {});
    for (unsigned i = 0; i < clear; ++i) table[i] = {static_cast<std::uint8_t>(i)};
    width = minCodeSize + 1;
  };
  restart();
  std::vector<std::uint8_t> out;
  std::size_t bit = 0;
  int previous = -1;
  while (true) {
    if (bit + width > data.size() * 8) {
      ADD_FAILURE() << "data ends without the end code";
      return out;
    }
    unsigned code = 0;
    for (unsigned i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1u) << i;
    if (code == clear) {
      restart();
      previous = -1;
      continue;
    }
    if (code == end) break;
    std::vector<std::uint8_t> entry;
    if (code < table.size()) {
      entry = table[code];
    } else if (code == table.size() && previous >= 0) {
      entry = table[previous];
      entry.push_back(table[previous][0]);
    } else {
      ADD_FAILURE() << "code " << code << " is not in the table of " << table.size();
      return out;
    }
    if (previous >= 0 && table.size() < 4096) {
      std::vector<std::uint8_t> added = table[previous];
      added.push_back(entry[0]);
      table.push_back(added);
      if (table.size() == (1u << width) && width < 12) ++width;
    }
    out.insert(out.end(), entry.begin(), entry.end());
    previous = static_cast<int>(code);
  }
  EXPECT_EQ((bit + 7) / 8, data.size()) << "data after the end code";
  return out;
}

TEST(Assets, BannerIsOneInterlacedGifWithTwoFifthsTransparent) {
  const Gif gif = ParseGif(ReadFile(kResources / "banner.gif"));
  EXPECT_EQ(gif.width, 160u);
  EXPECT_EQ(gif.height, 45u);
  EXPECT_EQ(gif.globalColours, 256u);
  EXPECT_EQ(gif.images, 1u);
  EXPECT_EQ(gif.left, 0u);
  EXPECT_EQ(gif.top, 0u);
  EXPECT_EQ(gif.imageWidth, 160u);
  EXPECT_EQ(gif.imageHeight, 45u);
  EXPECT_TRUE(gif.interlaced);
  EXPECT_FALSE(gif.localColours);
  EXPECT_EQ(gif.transparent, 255);
  EXPECT_EQ(gif.minCodeSize, 8u);
  ASSERT_EQ(gif.palette.size(), 256u);

  const std::vector<std::uint8_t> stream = DecodeLzw(gif.data, gif.minCodeSize);
  ASSERT_EQ(stream.size(), 160u * 45u);
  std::size_t clear = 0;
  for (std::uint8_t index : stream) clear += index == 255;
  const double share = static_cast<double>(clear) / stream.size();
  EXPECT_GE(share, 0.35);
  EXPECT_LE(share, 0.45);

  // Rows come in four passes; put them back in place: the silver capitals take the upper
  // half, the dark blue script only the lower third.
  std::vector<std::vector<std::uint8_t>> rows(45);
  std::size_t next = 0;
  for (auto [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
    for (int y = first; y < 45; y += step, next += 160) rows[y].assign(stream.begin() + next, stream.begin() + next + 160);
  auto blue = [&](std::uint8_t i) {
    const std::uint32_t rgb = gif.palette[i];
    const int r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return i != 255 && b > r + 60 && b > g + 60;
  };
  auto grey = [&](std::uint8_t i) {
    const std::uint32_t rgb = gif.palette[i];
    return i != 255 && rgb >> 16 == (rgb & 0xFF) && ((rgb >> 8) & 0xFF) == (rgb & 0xFF) && rgb > 0x404040;
  };
  int blueAbove = 0, blueBelow = 0, greyAbove = 0;
  for (int y = 0; y < 45; ++y)
    for (std::uint8_t index : rows[y]) {
      if (blue(index)) (y < 24 ? blueAbove : blueBelow) += 1;
      if (grey(index) && y < 24) ++greyAbove;
    }
  EXPECT_EQ(blueAbove, 0);
  EXPECT_GT(blueBelow, 200);
  EXPECT_GT(greyAbove, 800);
}

}  // namespace

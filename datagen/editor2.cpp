// The decor-object and scene editors' pictures, drawn in integers so that
// every run writes the same bytes; the panel's labels in the system
// font's glyphs.
#include "datagen/editor2.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "datagen/canvas8.h"

namespace datagen {
namespace {

const uint8_t kFont[] = {
#include "system/sysfont.inc"
};
constexpr int kFontWidth = 325, kFontColumns = 40, kCell = 8;

enum Colour : uint8_t { kBlack, kWhite, kLight, kFace, kDark, kField, kRed, kGreen };

// The panel's canvas, with the system font's labels.
struct Panel8 : Canvas8 {
  void Text(const char* text, int x, int y, uint8_t ink) {
    for (; *text; ++text, x += kCell) {
      const int glyph = static_cast<unsigned char>(*text) - 32;
      if (glyph < 0 || glyph >= 120) continue;
      const int gx = glyph % kFontColumns * kCell, gy = glyph / kFontColumns * kCell;
      for (int r = 0; r < kCell; ++r)
        for (int k = 0; k < kCell; ++k)
          if (kFont[(gy + r) * kFontWidth + gx + k]) Set(x + k, y + r, ink);
    }
  }
  // A raised button with its label centred.
  void Button(int x, int y, int w, int h, const char* label) {
    Fill(x, y, x + w - 1, y + h - 1, kFace);
    Fill(x, y, x + w - 1, y, kWhite), Fill(x, y, x, y + h - 1, kWhite);
    Fill(x, y + h - 1, x + w - 1, y + h - 1, kDark), Fill(x + w - 1, y, x + w - 1, y + h - 1, kDark);
    const int len = static_cast<int>(std::strlen(label));
    Text(label, x + (w - kCell * len) / 2, y + (h - kCell) / 2, kBlack);
  }
  void Field(int x, int y, int w) { Fill(x - 1, y - 1, x + w, y + kCell, kField); }
};

struct Canvas24 {
  Picture24 p;
  void Fill(int x1, int y1, int x2, int y2, uint32_t c) {
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) p.Set(x, y, c);
  }
  void Line(int x0, int y0, int x1, int y1, uint32_t c) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i)
      p.Set(x0 + (steps ? (x1 - x0) * i / steps : 0), y0 + (steps ? (y1 - y0) * i / steps : 0), c);
  }
};

constexpr uint32_t kInk = 0x080808;  // near black: black itself is transparent

// An arrow along +x: a shaft and a head, outlined.
Picture24 Arrow(uint32_t body) {
  Canvas24 c{Picture24(32, 16)};
  for (int x = 0; x < 32; ++x) {
    const int half = x < 18 ? 3 : (31 - x) * 7 / 13;  // shaft 7 high, then the head
    c.Fill(x, 8 - half - (x >= 18 ? 1 : 0), x, 7 + half, body);
  }
  c.Line(0, 4, 17, 4, kInk), c.Line(0, 11, 17, 11, kInk), c.Line(0, 4, 0, 11, kInk);
  c.Line(18, 0, 31, 7, kInk), c.Line(18, 15, 31, 8, kInk);
  return c.p;
}

}  // namespace

Picture8 DecorPanelPicture() {
  Panel8 c;
  c.p.width = kDecorPanelWidth, c.p.height = kDecorPanelHeight;
  c.p.pixels.assign(static_cast<size_t>(c.p.width * c.p.height), kLight);
  const uint8_t colours[][3] = {{0, 0, 0},     {255, 255, 255}, {192, 196, 204}, {150, 154, 168},
                                {80, 82, 96},  {236, 236, 224}, {200, 40, 40},   {40, 150, 60}};
  c.p.palette.assign(768, 0);
  for (size_t i = 0; i < sizeof colours / sizeof colours[0]; ++i)
    for (int k = 0; k < 3; ++k) c.p.palette[i * 3 + static_cast<size_t>(k)] = colours[i][k];
  c.Fill(0, 0, 255, 0, kWhite), c.Fill(0, 0, 0, 168, kWhite);
  c.Fill(255, 0, 255, 168, kDark), c.Fill(0, 168, 255, 168, kDark);
  // The object and block choosers.
  c.Text("Script", 3, 4, kBlack), c.Field(53, 4, 128);
  c.Text("Object", 3, 20, kBlack), c.Field(53, 20, 128);
  c.Button(184, 3, 32, 16, "<"), c.Button(218, 3, 32, 16, ">");
  c.Button(184, 20, 32, 16, "<"), c.Button(218, 20, 32, 16, ">");
  // Position in metres and the three angles in degrees.
  const char* const rows[] = {"Pos X", "Pos Y", "Pos Z", "Ang 1", "Ang 2", "Ang 3"};
  const int rowY[] = {46, 58, 70, 85, 97, 109};
  for (int i = 0; i < 6; ++i) {
    c.Text(rows[i], 3, rowY[i], kBlack), c.Field(73, rowY[i], 104);
    c.Button(182, rowY[i], 32, 11, "-"), c.Button(216, rowY[i], 32, 11, "+");
  }
  // Block, command and table position, with their buttons and go-to.
  c.Text("Blk", 3, 129, kBlack), c.Field(47, 129, 48);
  c.Text("Cmd", 3, 144, kBlack), c.Field(47, 144, 48);
  c.Text("Tab", 3, 160, kBlack);
  c.Button(105, 128, 32, 11, "-"), c.Button(139, 128, 32, 11, "+");
  c.Button(105, 144, 32, 11, "-"), c.Button(139, 144, 32, 11, "+");
  c.Button(105, 160, 32, 9, "-"), c.Button(139, 160, 32, 9, "+");  // the table pair runs off the picture
  c.Button(199, 132, 32, 22, "Go");
  return c.p;
}

Picture24 CarMarkerPicture() { return Arrow(0x30D040); }
Picture24 CameraMarkerPicture() { return Arrow(0x40D0F0); }

Picture24 SelectCursorPicture() {
  Canvas24 c{Picture24(17, 15)};
  c.Fill(0, 7, 6, 7, 0xFFFFFF), c.Fill(10, 7, 16, 7, 0xFFFFFF);
  c.Fill(8, 0, 8, 5, 0xFFFFFF), c.Fill(8, 9, 8, 14, 0xFFFFFF);
  c.p.Set(8, 7, 0xFF0000);
  return c.p;
}

Picture24 LoupeCursorPicture() {
  Canvas24 c{Picture24(16, 16)};
  for (int y = 0; y <= 9; ++y)
    for (int x = 0; x <= 9; ++x) {
      const int d = (x - 4) * (x - 4) + (y - 4) * (y - 4);
      if (d <= 20 && d >= 12) c.p.Set(x, y, 0xFFFFFF);
      else if (d < 12) c.p.Set(x, y, 0x5080C0);
    }
  c.Line(8, 8, 15, 15, 0xC08040), c.Line(9, 8, 15, 14, 0xC08040);
  return c.p;
}

Picture24 HandCursorPicture() {
  Canvas24 c{Picture24(12, 16)};
  for (int f = 0; f < 4; ++f) c.Fill(2 + 2 * f, f == 1 ? 0 : 2, 3 + 2 * f, 9, 0xF0C8A0);
  c.Fill(1, 8, 10, 14, 0xF0C8A0), c.Fill(0, 6, 1, 10, 0xF0C8A0);
  c.Line(1, 15, 10, 15, kInk), c.Line(11, 3, 11, 14, kInk);
  return c.p;
}

}  // namespace datagen

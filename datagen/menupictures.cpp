// Draws the menus' pictures: rounded buttons with a soft edge and a label
// stamped from the interface's own glyph sheets, pictograms, translucent
// dialogue frames, the background, its glass panes and the splashes.
#include "datagen/menupictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "datagen/menufonts.h"

namespace datagen {
namespace {

// A 0xAARRGGBB canvas.
struct Canvas {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  Canvas(int width, int height, uint32_t fill = 0) : w(width), h(height), px(size_t(width) * height, fill) {}
  uint32_t& At(int x, int y) { return px[size_t(y) * w + x]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

uint32_t Argb(uint32_t alpha, uint32_t rgb) { return alpha << 24 | (rgb & 0xFFFFFF); }

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    out |= uint32_t(std::lround(ca + (cb - ca) * t)) << shift;
  }
  return out;
}

// Ink of the given coverage laid over a pixel: colour mixed, alpha kept at
// least the ink's.
void Blend(Canvas* c, int x, int y, uint32_t rgb, uint32_t coverage) {
  if (!c->Inside(x, y) || !coverage) return;
  uint32_t& p = c->At(x, y);
  const uint32_t alpha = std::max(p >> 24, coverage);
  const uint32_t mixed = Mix(p, rgb, coverage / 255.0) & 0xFFFFFF;
  p = Argb(alpha, mixed);
}

// A rounded box from (x0, y0), w x h, the corners' radius r, shaded from
// top to bottom, its edge softened over two pixels.
void RoundBox(Canvas* c, int x0, int y0, int w, int h, int r, uint32_t top, uint32_t bottom, uint32_t alpha) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = std::max({0, r - x, x - (w - 1 - r)}), dy = std::max({0, r - y, y - (h - 1 - r)});
      const double edge = r - std::sqrt(dx * dx + dy * dy);
      if (edge <= 0) continue;
      const double soft = std::min(1.0, edge / 2.0);
      const uint32_t rgb = Mix(top, bottom, h > 1 ? double(y) / (h - 1) : 0) & 0xFFFFFF;
      if (c->Inside(x0 + x, y0 + y)) c->At(x0 + x, y0 + y) = Argb(uint32_t(alpha * soft), rgb);
    }
}

void Rect(Canvas* c, int x0, int y0, int w, int h, uint32_t argb) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (c->Inside(x, y)) c->At(x, y) = argb;
}

void Disc(Canvas* c, int cx, int cy, int r, uint32_t argb) {
  for (int y = -r; y <= r; ++y)
    for (int x = -r; x <= r; ++x)
      if (x * x + y * y <= r * r && c->Inside(cx + x, cy + y)) c->At(cx + x, cy + y) = argb;
}

// A filled triangle pointing left (dir -1), right (1), up (-2) or down (2).
void Arrow(Canvas* c, int cx, int cy, int size, int dir, uint32_t argb) {
  for (int a = 0; a <= size; ++a)
    for (int b = -a / 2; b <= a / 2; ++b) {
      const int along = dir < 0 ? a - size / 2 : size / 2 - a;
      const bool horizontal = dir == -1 || dir == 1;
      const int x = horizontal ? cx + along : cx + b, y = horizontal ? cy + b : cy + along;
      if (c->Inside(x, y)) c->At(x, y) = argb;
    }
}

// A glyph sheet of the interface: 16 cells a row.
struct Sheet {
  TgaImage image;
  MenuFont font;
  int Ink(int cx, int cy, int x, int y) const {
    return image.pixels[(size_t(cy * font.cellHeight + y) * image.width + cx * font.cellWidth + x) * 4 + 3];
  }
  // Columns of the character holding ink; a third of the cell for a blank.
  int Width(char ch) const {
    const int i = ch - font.first;
    if (i <= 0 || i >= font.count) return font.cellWidth / 3;
    int right = 0;
    for (int y = 0; y < font.cellHeight; ++y)
      for (int x = 0; x < font.cellWidth; ++x)
        if (Ink(i % 16, i / 16, x, y)) right = std::max(right, x + 1);
    return right;
  }
  int TextWidth(const std::string& text, int scale) const {
    int w = 0;
    for (char ch : text) w += (Width(ch) + 2) * scale;
    return w > 0 ? w - 2 * scale : 0;
  }
  void Draw(Canvas* c, const std::string& text, int x, int y, int scale, uint32_t rgb) const {
    for (char ch : text) {
      const int i = ch - font.first;
      if (i > 0 && i < font.count)
        for (int gy = 0; gy < font.cellHeight * scale; ++gy)
          for (int gx = 0; gx < font.cellWidth * scale; ++gx)
            Blend(c, x + gx, y + gy, rgb, uint32_t(Ink(i % 16, i / 16, gx / scale, gy / scale)));
      x += (Width(ch) + 2) * scale;
    }
  }
  // The text centred on (cx, cy).
  void Centred(Canvas* c, const std::string& text, int cx, int cy, int scale, uint32_t rgb) const {
    Draw(c, text, cx - TextWidth(text, scale) / 2, cy - font.cellHeight * scale / 2, scale, rgb);
  }
};

struct Fonts {
  Sheet big, small;
};

TgaImage ToTga(const Canvas& c, int depth) {
  TgaImage image;
  image.width = c.w, image.height = c.h, image.depth = depth;
  for (uint32_t p : c.px) {
    image.pixels.push_back(uint8_t(p));
    image.pixels.push_back(uint8_t(p >> 8));
    image.pixels.push_back(uint8_t(p >> 16));
    if (depth == 32) image.pixels.push_back(uint8_t(p >> 24));
  }
  return image;
}

// A button: the rounded, shaded box with its label, in the big glyphs
// (one line or two) or the small ones at double size.
Canvas Button(const Fonts& f, int w, int h, const std::string& label, bool bigGlyphs, uint32_t hue) {
  Canvas c(w, h);
  RoundBox(&c, 0, 0, w, h, 12, Mix(hue, 0xFFFFFF, 0.35), Mix(hue, 0x000000, 0.45), 255);
  RoundBox(&c, 3, 3, w - 6, h - 6, 10, Mix(hue, 0x000000, 0.15), Mix(hue, 0x000000, 0.6), 255);
  const size_t space = label.find(' ');
  if (bigGlyphs && space != std::string::npos && f.big.TextWidth(label, 1) > w - 16) {
    f.big.Centred(&c, label.substr(0, space), w / 2, h / 2 - 17, 1, 0xFFF4D8);
    f.big.Centred(&c, label.substr(space + 1), w / 2, h / 2 + 17, 1, 0xFFF4D8);
  } else if (bigGlyphs) {
    f.big.Centred(&c, label, w / 2, h / 2, 1, 0xFFF4D8);
  } else {
    f.small.Centred(&c, label, w / 2, h / 2, 2, 0xFFF4D8);
  }
  return c;
}

// A translucent frame: a glass panel inside an opaque rim.
Canvas Frame(int w, int h) {
  Canvas c(w, h);
  RoundBox(&c, 0, 0, w, h, 14, 0x8CB4E0, 0x4A6A9A, 0xE0);
  RoundBox(&c, 4, 4, w - 8, h - 8, 10, 0x10203A, 0x0A1426, 0x90);
  return c;
}

// An arrow button: up, down, left or right.
Canvas ArrowButton(int w, int h, int dir) {
  Canvas c(w, h);
  RoundBox(&c, 0, 0, w, h, 10, 0x9AC8F0, 0x2A4A7A, 255);
  Arrow(&c, w / 2, h / 2, std::min(w, h) / 2, dir, 0xFFFFF4D8);
  return c;
}

Canvas Joystick(int w, int h) {
  Canvas c(w, h);
  RoundBox(&c, 0, 0, w, h, 12, 0x9AC8F0, 0x2A4A7A, 255);
  RoundBox(&c, w / 2 - 24, h - 26, 48, 16, 6, 0x303030, 0x101010, 255);
  Rect(&c, w / 2 - 3, 22, 6, h - 46, 0xFF505050);
  Disc(&c, w / 2, 20, 10, 0xFFD03020);
  return c;
}

Canvas Keyboard(int w, int h) {
  Canvas c(w, h);
  RoundBox(&c, 0, 0, w, h, 12, 0x9AC8F0, 0x2A4A7A, 255);
  for (int row = 0; row < 3; ++row)
    for (int key = 0; key < 6; ++key) Rect(&c, 10 + key * 13 + row * 3, 16 + row * 16, 10, 12, 0xFFE8E8E0);
  Rect(&c, 24, 64, 48, 8, 0xFFE8E8E0);
  return c;
}

Canvas Crosshair(int w, int h) {
  Canvas c(w, h);
  RoundBox(&c, 0, 0, w, h, 12, 0x9AC8F0, 0x2A4A7A, 255);
  Disc(&c, w / 2, h / 2, 18, 0xFFE8E8E0);
  Disc(&c, w / 2, h / 2, 14, 0xFF2A4A7A);
  Rect(&c, w / 2 - 26, h / 2 - 1, 52, 3, 0xFFE8E8E0);
  Rect(&c, w / 2 - 1, h / 2 - 26, 3, 52, 0xFFE8E8E0);
  return c;
}

// A level picture: the label over 1 to 3 bars.
Canvas Level(const Fonts& f, int w, int h, const std::string& label, int bars, uint32_t hue) {
  Canvas c = Button(f, w, h, "", false, hue);
  f.small.Centred(&c, label, w / 2, 24, 2, 0xFFF4D8);
  for (int b = 0; b < bars; ++b) Rect(&c, w / 2 - 40 + b * 30, h - 24 - b * 14, 20, 14 + b * 14, 0xFFF4D8A0);
  return c;
}

// The background: a dark blue wash with faint diagonal stripes, plain
// across the band the car chooser draws its cars in.
Canvas Background() {
  Canvas c(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const bool band = y >= 120 && y <= 319;
      const uint32_t base = Mix(0x0C1A38, 0x040818, y / 479.0) & 0xFFFFFF;
      const bool stripe = !band && ((x + y) / 12) % 2 == 0;
      c.At(x, y) = Argb(255, band ? 0x0A1430 : stripe ? Mix(base, 0x2A4070, 0.25) : base);
    }
  return c;
}

// A glass pane: a darker title band behind y 0..40, light glass elsewhere
// but the car band; ruled, the options' rows behind x 94..560, y 160..295.
Canvas Glass(bool ruled) {
  Canvas c(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      if (y <= 40)
        c.At(x, y) = Argb(0xB0, 0x102850);
      else if (y == 41)
        c.At(x, y) = Argb(0xE0, 0x8CB4E0);
      else if (y < 120 || y > 319)
        c.At(x, y) = Argb(0x40, Mix(0x6A90C0, 0xA0C8F0, x / 639.0));
    }
  if (ruled)
    for (int y = 160; y <= 295; ++y)
      for (int x = 94; x <= 560; ++x) c.At(x, y) = (y - 160) % 15 == 0 ? Argb(0xA0, 0x8CB4E0) : Argb(0x50, 0x0A1830);
  return c;
}

Canvas Splash(const Fonts& f, const std::string& title, const std::string& line, uint32_t from, uint32_t to) {
  Canvas c(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) c.At(x, y) = Argb(255, Mix(from, to, (x + y) / 1118.0));
  for (int k = 0; k < 7; ++k) Rect(&c, 0, 300 + k * 18, 640, 6, Argb(255, Mix(to, 0xFFFFFF, 0.1 + k * 0.05)));
  f.big.Centred(&c, title, 320, 200, 2, 0xFFF4D8);
  f.small.Centred(&c, line, 320, 270, 2, 0xD8E0F0);
  return c;
}

constexpr uint32_t kBlue = 0x3070C0, kGreen = 0x30A060, kRed = 0xB04030, kAmber = 0xC08020, kGrey = 0x607080;

struct LabelledButton {
  const char* name;
  int w, h;
  const char* label;
  bool big;
  uint32_t hue;
};

// Sizes chosen so that each button stays inside the screen from its
// item's position and clear of the other live items of its screens.
constexpr LabelledButton kButtons[] = {
    {"DEFIM1", 200, 70, "RACE", true, kBlue},         {"CHOIXCAR", 180, 70, "CAR", true, kBlue},
    {"DEFIM2", 220, 70, "CONTROLS", true, kBlue},     {"DEMO", 180, 70, "DEMO", true, kBlue},
    {"QUIT", 140, 60, "QUIT", true, kRed},            {"BACK", 140, 60, "BACK", true, kGrey},
    {"DEFIM4", 190, 100, "TIME TRIAL", true, kGreen}, {"DEFIM6", 180, 90, "RACE", true, kGreen},
    {"DEFIM5", 240, 70, "NETWORK", true, kGreen},     {"PN-DEF-3", 160, 80, "CUSTOM", true, kBlue},
    {"DEFIM7", 170, 60, "DETAIL", true, kBlue},       {"CONF640", 190, 60, "640 X 480", false, kBlue},
    {"CONF800", 190, 60, "800 X 600", false, kBlue},  {"DIALOG1C", 70, 40, "OK", true, kGreen},
    {"DIALOG2D", 80, 40, "OK", true, kGreen},         {"DIALOG3C", 110, 50, "JOIN", true, kGreen},
    {"DIALOG4B", 160, 50, "CREATE", true, kGreen},    {"DIALOG5B", 250, 50, "CREATE SERVER", false, kGreen},
    {"DIALOG5C", 250, 50, "JOIN SERVER", false, kGreen},
    {"COMDEX/ISTARTRA", 200, 50, "START RACE", false, kGreen},
    {"COMDEX/ISTOPRAC", 200, 50, "STOP RACE", false, kRed},
    {"COMDEX/IPRACTIC", 200, 50, "PRACTICE", false, kBlue},
    {"COMDEX/IBESTWEE", 320, 30, "BEST OF THE WEEK", false, kAmber},
    {"COMDEX/IBESTRAC", 320, 30, "BEST OF THE RACE", false, kAmber},
};

struct FramePicture {
  const char* name;
  int w, h;
};
constexpr FramePicture kFrames[] = {
    {"DIALOG1A", 280, 140}, {"DIALOG2A", 400, 200}, {"DIALOG3A", 260, 320},
    {"DIALOG4A", 300, 150}, {"DIALOG5A", 320, 170},
};

void Add(std::vector<MenuPicture>* out, const std::string& name, const Canvas& c, int depth = 32) {
  out->push_back({"INTER/BMAPS/" + name + ".TGA", ToTga(c, depth)});
}

}  // namespace

bool MenuPictures(const std::string& fontFile, std::vector<MenuPicture>* out, std::string* error) {
  Fonts f;
  f.big.font = kMenuFonts[0];
  f.small.font = kMenuFonts[1];
  if (!MenuFontImage(fontFile, f.big.font, &f.big.image, error) ||
      !MenuFontImage(fontFile, f.small.font, &f.small.image, error))
    return false;
  out->clear();
  Add(out, "FOND32", Background());
  Add(out, "VITRE3", Glass(false));
  Add(out, "VITREDEF", Glass(true));
  Add(out, "SCR116", Splash(f, "ZENTROVA", "ARCADE RACING", 0x102040, 0x3060A0), 24);
  Add(out, "SCR216", Splash(f, "GET READY", "START YOUR ENGINES", 0x401810, 0xA05020), 24);
  for (const LabelledButton& b : kButtons) Add(out, b.name, Button(f, b.w, b.h, b.label, b.big, b.hue));
  for (const FramePicture& fr : kFrames) Add(out, fr.name, Frame(fr.w, fr.h));
  Add(out, "BOUTONL", ArrowButton(60, 50, -1));
  Add(out, "BOUTONR", ArrowButton(60, 50, 1));
  Add(out, "DIALOG2C", ArrowButton(40, 40, -2));
  Add(out, "DIALOG2B", ArrowButton(40, 40, 2));
  Add(out, "PN-DEF-1", Joystick(72, 80));
  Add(out, "PN-DEF-2", Keyboard(96, 80));
  Add(out, "CALIB", Crosshair(150, 60));
  static const char* const kLevels[] = {"HIGH", "MEDIUM", "LOW"};
  static const char* const kShadows[] = {"HIGH", "LOW", "NONE"};
  for (int k = 0; k < 3; ++k) {
    Add(out, "ICDETAI" + std::to_string(k + 1), Level(f, 140, 100, kLevels[k], 3 - k, kBlue));
    Add(out, "ICOMBRE" + std::to_string(k + 1), Level(f, 140, 100, kShadows[k], 3 - k, kGrey));
  }
  return true;
}

}  // namespace datagen

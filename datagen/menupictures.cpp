// Draws the menus' pictures: rounded buttons with a soft edge and a label
// stamped from the interface's own glyph sheets, pictograms, dialogue
// frames with clear insides, the background, its glass panes and the
// splashes.
#include "datagen/menupictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "datagen/canvas.h"
#include "datagen/menufonts.h"

namespace datagen {
namespace {

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

// A frame: a rounded rim around a clear inside. The menus draw some frames
// after the buttons and fields they surround, so that the inside must
// leave them as they are.
Canvas Frame(int w, int h) {
  constexpr uint32_t kRimAlpha = 0xE0;
  constexpr int kRim = 4, kInnerRadius = 10;
  Canvas c(w, h);
  RoundBox(&c, 0, 0, w, h, 14, 0x8CB4E0, 0x4A6A9A, kRimAlpha);
  // The inside cut out, its edge softened over two pixels as the rim's is.
  Canvas inside(w - 2 * kRim, h - 2 * kRim);
  RoundBox(&inside, 0, 0, inside.w, inside.h, kInnerRadius, 0, 0, 255);
  for (int y = 0; y < inside.h; ++y)
    for (int x = 0; x < inside.w; ++x) {
      uint32_t& p = c.At(x + kRim, y + kRim);
      const uint32_t cut = inside.At(x, y) >> 24;
      p = Argb((p >> 24) * (255 - cut) / 255, p);
    }
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

// A level picture: the row's caption (which setting), the level's label
// and 1 to 3 bars.
Canvas Level(const Fonts& f, int w, int h, const std::string& caption, const std::string& label, int bars,
             uint32_t hue) {
  Canvas c = Button(f, w, h, "", false, hue);
  f.small.Centred(&c, caption, w / 2, 14, 1, 0xD8E0F0);
  f.small.Centred(&c, label, w / 2, 34, 2, 0xFFF4D8);
  for (int b = 0; b < bars; ++b) Rect(&c, w / 2 - 40 + b * 30, h - 14 - b * 12, 20, 10 + b * 12, 0xFFF4D8A0);
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
    // The gearbox choice over the race, at most 200 x 110 so that both fit
    // at 640 and at 800 pixels wide.
    {"AUTOBOX", 180, 90, "AUTOMATIC", false, kGreen},
    {"MANUBOX", 180, 90, "MANUAL", false, kAmber},
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
  if (!LoadFonts(fontFile, &f, error)) return false;
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
    Add(out, "ICDETAI" + std::to_string(k + 1), Level(f, 140, 100, "DETAIL", kLevels[k], 3 - k, kBlue));
    Add(out, "ICOMBRE" + std::to_string(k + 1), Level(f, 140, 100, "SHADOWS", kShadows[k], 3 - k, kGrey));
  }
  return true;
}

}  // namespace datagen

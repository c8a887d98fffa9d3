// Draws the films and pictures of the intro and the race's start: two
// 320 x 200 films in a palette of our own (the program's name in the
// interface's glyphs sliding over a road rushing to the horizon; start
// lights counting down), their waves, the word pictures of the attract
// cycle, the translucent banners, and the HUD's box and radar.
#include "datagen/introart.h"

#include <algorithm>
#include <cmath>

#include "datagen/canvas.h"
#include "datagen/fliwrite.h"
#include "datagen/tgawrite.h"
#include "datagen/tune.h"
#include "datagen/wavwrite.h"

namespace datagen {
namespace {

constexpr int kFilmW = 320, kFilmH = 200;
constexpr uint32_t kFilmSpeedMs = 66;

// The films' palette: ramps of sky, grass, road, kerb, ink and lamps.
constexpr int kSky = 1, kGrass = 65, kRoad = 97, kLine = 129, kInk = 161, kRed = 193, kGreen = 225;
constexpr int kRamp = 32;

void SetRamp(std::vector<uint8_t>* rgb, int first, int count, uint32_t from, uint32_t to) {
  for (int i = 0; i < count; ++i) {
    const uint32_t c = Mix(from, to, count > 1 ? double(i) / (count - 1) : 0);
    (*rgb)[size_t(first + i) * 3 + 0] = uint8_t(c >> 16);
    (*rgb)[size_t(first + i) * 3 + 1] = uint8_t(c >> 8);
    (*rgb)[size_t(first + i) * 3 + 2] = uint8_t(c);
  }
}

std::vector<uint8_t> FilmPalette() {
  std::vector<uint8_t> rgb(768, 0);
  SetRamp(&rgb, kSky, 64, 0x0A1840, 0xE8A060);
  SetRamp(&rgb, kGrass, kRamp, 0x0C3010, 0x3C8A30);
  SetRamp(&rgb, kRoad, kRamp, 0x202024, 0x6A6A70);
  SetRamp(&rgb, kLine, kRamp, 0x808070, 0xFFFFF0);
  SetRamp(&rgb, kInk, kRamp, 0x402000, 0xFFD040);
  SetRamp(&rgb, kRed, kRamp, 0x200000, 0xFF3020);
  SetRamp(&rgb, kGreen, kRamp - 1, 0x002000, 0x40FF60);
  return rgb;
}

uint8_t Shade(int base, double level) { return uint8_t(base + std::clamp(int(level * (kRamp - 1)), 0, kRamp - 1)); }

// The road at phase t (0..1 of a stripe period): sky above the horizon,
// grass and a road narrowing to it, kerbs and centre stripes rushing in.
FilmPicture RoadFrame(double t) {
  FilmPicture p{kFilmW, kFilmH, std::vector<uint8_t>(size_t(kFilmW) * kFilmH)};
  const int horizon = 80;
  for (int y = 0; y < kFilmH; ++y)
    for (int x = 0; x < kFilmW; ++x) {
      uint8_t v;
      if (y < horizon) {
        v = uint8_t(kSky + std::min(63, y * 64 / horizon));
      } else {
        const double depth = double(y - horizon + 1) / (kFilmH - horizon);  // 0 far .. 1 near
        const double half = 8 + depth * 150, dx = std::abs(x - kFilmW / 2.0);
        const double z = 1.0 / depth, band = std::fmod(z * 2.0 + t, 1.0);
        if (dx < half) {
          const bool stripe = dx < 2 + depth * 4 && band < 0.5;
          v = stripe ? Shade(kLine, depth) : Shade(kRoad, 0.3 + depth * 0.5);
        } else if (dx < half + 3 + depth * 10) {
          v = band < 0.5 ? Shade(kRed, 0.9) : Shade(kLine, 1.0);
        } else {
          v = Shade(kGrass, depth * (band < 0.5 ? 0.8 : 1.0));
        }
      }
      p.pixels[size_t(y) * kFilmW + x] = v;
    }
  return p;
}

// The glyphs' coverage laid on an 8-bit picture in the ink ramp.
void StampText(FilmPicture* p, const Sheet& sheet, const std::string& text, int x, int y, int scale) {
  Canvas c(p->width, p->height);
  sheet.Draw(&c, text, x, y, scale, 0xFFFFFF);
  for (size_t i = 0; i < c.px.size(); ++i) {
    const uint32_t cover = c.px[i] >> 24;
    if (cover > 96) p->pixels[i] = Shade(kInk, cover / 255.0);
  }
}

// About 45 frames: the name slides in from the right and settles centred.
std::vector<FilmPicture> LogoFilm(const Fonts& f) {
  const std::string name = "ZENTROVA";
  const int scale = 1, w = f.big.TextWidth(name, scale), settled = (kFilmW - w) / 2;
  std::vector<FilmPicture> frames;
  for (int i = 0; i < 45; ++i) {
    FilmPicture p = RoadFrame(i / 6.0);
    const double slide = std::max(0.0, 1.0 - i / 24.0);
    StampText(&p, f.big, name, settled + int(slide * slide * (kFilmW - settled)), 28, scale);
    if (i >= 28) StampText(&p, f.small, "ARCADE RACING", (kFilmW - f.small.TextWidth("ARCADE RACING", 1)) / 2, 70, 1);
    frames.push_back(p);
  }
  return frames;
}

// About 30 frames: a gantry of five lamps lit one by one, then all green.
std::vector<FilmPicture> StartLightsFilm(const Fonts& f) {
  std::vector<FilmPicture> frames;
  for (int i = 0; i < 30; ++i) {
    FilmPicture p{kFilmW, kFilmH, std::vector<uint8_t>(size_t(kFilmW) * kFilmH, Shade(kRoad, 0.05))};
    const int lit = std::min(5, i / 4), green = i >= 24;
    for (int y = 50; y < 110; ++y)
      for (int x = 30; x < 290; ++x) p.pixels[size_t(y) * kFilmW + x] = Shade(kRoad, 0.2);
    for (int lamp = 0; lamp < 5; ++lamp) {
      const int cx = 56 + lamp * 52, cy = 80;
      const uint8_t on = green ? Shade(kGreen, 1.0) : lamp < lit ? Shade(kRed, 1.0) : Shade(kRed, 0.1);
      for (int y = -18; y <= 18; ++y)
        for (int x = -18; x <= 18; ++x)
          if (x * x + y * y <= 18 * 18) p.pixels[size_t(cy + y) * kFilmW + cx + x] = on;
    }
    const std::string text = green ? "GO" : std::to_string(std::max(1, 5 - lit));
    StampText(&p, f.big, text, (kFilmW - f.big.TextWidth(text, 2)) / 2, 122, 2);
    frames.push_back(p);
  }
  return frames;
}

// A word picture of the attract cycle: the word large over a dark wash.
Canvas WordPicture(const Fonts& f, const std::string& word, int w, int h, uint32_t hue) {
  Canvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.At(x, y) = Argb(255, Mix(0x050A18, hue, 0.15 + 0.35 * y / (h - 1.0)));
  Rect(&c, 0, h - 12, w, 4, Argb(255, hue));
  f.big.Centred(&c, word, w / 2, h / 2 - 6, 2, 0xFFF4D8);
  return c;
}

// The logo: the name over a road's vanishing lines.
Canvas LogoPicture(const Fonts& f) {
  Canvas c(600, 300);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 600; ++x) c.At(x, y) = Argb(255, Mix(0x0A1840, 0xC06030, y / 299.0));
  for (int y = 180; y < 300; ++y) {
    const double depth = (y - 179) / 120.0, half = 10 + depth * 280;
    for (int x = 0; x < 600; ++x)
      if (std::abs(x - 300) < half) c.At(x, y) = Argb(255, Mix(0x202024, 0x5A5A60, depth));
  }
  f.big.Centred(&c, "ZENTROVA", 300, 110, 2, 0xFFD040);
  f.small.Centred(&c, "ARCADE RACING", 300, 168, 2, 0xF0F0F0);
  return c;
}

// A banner: a translucent rounded band with its text.
Canvas Banner(const Fonts& f, const std::string& text, uint32_t hue) {
  Canvas c(520, 80);
  RoundBox(&c, 0, 0, 520, 80, 20, Mix(hue, 0xFFFFFF, 0.2), Mix(hue, 0x000000, 0.5), 0xC0);
  f.big.Centred(&c, text, 260, 40, 1, 0xFFF4D8);
  return c;
}

// The HUD's box: a translucent dark panel with a light rim.
Canvas HudBox() {
  Canvas c(64, 64);
  RoundBox(&c, 0, 0, 64, 64, 10, 0x8CB4E0, 0x4A6A9A, 0xE0);
  RoundBox(&c, 3, 3, 58, 58, 8, 0x10203A, 0x0A1426, 0xA0);
  return c;
}

// The radar: a round screen with rings and a cross, clear outside.
Canvas Radar() {
  Canvas c(128, 128);
  Disc(&c, 64, 64, 62, Argb(0xE0, 0x60A060));
  Disc(&c, 64, 64, 59, Argb(0x90, 0x0A200A));
  for (int r : {20, 40})
    for (int a = 0; a < 360; ++a) {
      const int x = 64 + int(std::lround(r * std::cos(a * M_PI / 180))), y = 64 + int(std::lround(r * std::sin(a * M_PI / 180)));
      c.At(x, y) = Argb(0xC0, 0x60C060);
    }
  Rect(&c, 63, 6, 2, 116, Argb(0xC0, 0x60C060));
  Rect(&c, 6, 63, 116, 2, Argb(0xC0, 0x60C060));
  return c;
}

Wave CountdownWave() {
  Wave wave;
  for (int beep = 0; beep < 6; ++beep) {
    const bool go = beep == 5;
    const std::vector<uint8_t> tone = SineSamples(wave, go ? 880 : 440, go ? 6615 : 2205, 0.6);
    wave.samples.insert(wave.samples.end(), tone.begin(), tone.end());
    if (!go) {
      const std::vector<uint8_t> gap = SineSamples(wave, 440, 2205, 0.0);
      wave.samples.insert(wave.samples.end(), gap.begin(), gap.end());
    }
  }
  return wave;
}

void AddTga(std::vector<DataFile>* out, const std::string& path, const Canvas& c, int depth) {
  out->push_back({path, EncodeTga(ToTga(c, depth), false)});
}

}  // namespace

bool IntroArt(const std::string& fontFile, std::vector<DataFile>* out, std::string* error) {
  Fonts f;
  if (!LoadFonts(fontFile, &f, error)) return false;
  out->clear();
  const std::vector<uint8_t> palette = FilmPalette();
  out->push_back({"INTRO/TAMRISK.FLC", EncodeFilm(MakeFilm(true, LogoFilm(f), palette, kFilmSpeedMs))});
  out->push_back({"INTRO/TALOGO.WAV", EncodeWave(MakeTheme(3, 1))});
  out->push_back({"INTRO/ZENTRACE.FLC", EncodeFilm(MakeFilm(true, StartLightsFilm(f), palette, kFilmSpeedMs))});
  out->push_back({"INTRO/RACE22.WAV", EncodeWave(CountdownWave())});
  AddTga(out, "COMDEX/FASTER.TGA", WordPicture(f, "FASTER", 480, 160, 0xC04020), 24);
  AddTga(out, "COMDEX/SMOOTHER.TGA", WordPicture(f, "SMOOTHER", 560, 160, 0x3070C0), 24);
  AddTga(out, "COMDEX/MORE.TGA", WordPicture(f, "MORE", 400, 160, 0x30A060), 24);
  AddTga(out, "COMDEX/ZENTROVA.TGA", WordPicture(f, "ZENTROVA", 600, 200, 0xC08020), 24);
  AddTga(out, "COMDEX/LOGO.TGA", LogoPicture(f), 24);
  AddTga(out, "COMDEX/ACCELERA.TGA", Banner(f, "ACCELERATE TO START", 0x30A060), 32);
  AddTga(out, "COMDEX/CHOOSE.TGA", Banner(f, "CHOOSE YOUR GEARBOX", 0x3070C0), 32);
  AddTga(out, "COMDEX/ACCEPLAY.TGA", Banner(f, "ACCELERATE TO PLAY", 0xC08020), 32);
  AddTga(out, "MISCPICT/BOX.TGA", HudBox(), 32);
  AddTga(out, "MISCPICT/RADAR.TGA", Radar(), 32);
  return true;
}

}  // namespace datagen

// The project's car pictures: body paint alone in the paint's hue band,
// glass alone meeting the 3D palette's black, lamp images and areas where
// the known sets' layouts say; the models' one-sided faces facing out.
#include <algorithm>

#include "system/bmap.h"
#include "system/palette.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

// The HSV bytes of an RGB texel: hue (six sectors over 0..255),
// saturation, value.
void Hsv(uint32_t rgb, uint8_t out[3]) {
  const double r = (rgb >> 16) / 255.0, g = (rgb >> 8 & 255) / 255.0, b = (rgb & 255) / 255.0;
  const double high = std::max({r, g, b}), low = std::min({r, g, b});
  const double s = high > 0 ? (high - low) / high : 0;
  double h = 0;
  if (s > 0) {
    const double d = 1 / (high - low);
    if (high == r) h = (g - b) * d;
    if (high == g) h = (b - r) * d + 2;
    if (high == b) h = (r - g) * d + 4;
    if (h < 0) h += 6;
  }
  out[0] = static_cast<uint8_t>(h * 42.5 + 0.5);
  out[1] = static_cast<uint8_t>(s * 255 + 0.5);
  out[2] = static_cast<uint8_t>(high * 255 + 0.5);
}

bool InBand(uint32_t rgb) {
  uint8_t hsv[3];
  Hsv(rgb, hsv);
  return hsv[0] >= 60 && hsv[0] <= 104;
}

struct Area {
  size_t texture;
  int x0, y0, x1, y1;
  bool Has(size_t t, int x, int y) const { return t == texture && x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// The texels the faces of the body-paint material cover, in the models
// that share the car's library.
std::vector<Area> PaintAreas(const std::vector<datagen::CarModel>& cars, const std::string& library) {
  std::vector<Area> areas;
  for (const datagen::CarModel& car : cars) {
    if (car.library.name != library) continue;
    for (const datagen::ModelAtom& atom : car.atoms)
      for (const datagen::ModelFace& f : atom.faces) {
        const datagen::ModelMaterial& m = car.library.materials[f.material];
        if (m.name != "caisse") continue;
        Area a{static_cast<size_t>(m.texture), 1 << 30, 1 << 30, -1, -1};
        for (int k = 0; k < f.nbPoints; ++k) {
          a.x0 = std::min(a.x0, f.coords[2 * k] / 256), a.x1 = std::max(a.x1, f.coords[2 * k] / 256);
          a.y0 = std::min(a.y0, f.coords[2 * k + 1] / 256), a.y1 = std::max(a.y1, f.coords[2 * k + 1] / 256);
        }
        areas.push_back(a);
      }
  }
  return areas;
}

class ModelTest : public ztest::VehicleTest {};

TEST_F(ModelTest, TheWriterIsDeterministic) {
  const std::vector<datagen::CarModel> one = datagen::CarModels(), two = datagen::CarModels();
  for (size_t m = 0; m < one.size(); ++m) {
    EXPECT_EQ(datagen::ObcBytes(one[m].model, {}), datagen::ObcBytes(two[m].model, {}));
    EXPECT_EQ(datagen::MaterialBytes(one[m].library, {"v1.3"}),
              datagen::MaterialBytes(two[m].library, {"v1.3"}));
    for (size_t a = 0; a < one[m].atoms.size(); ++a)
      EXPECT_EQ(datagen::AtmBytes(one[m].atoms[a], {}), datagen::AtmBytes(two[m].atoms[a], {}));
    for (size_t p = 0; p < one[m].pictures.size(); ++p)
      EXPECT_EQ(one[m].pictures[p].picture.rgb, two[m].pictures[p].picture.rgb);
  }
}

TEST_F(ModelTest, OnlyBodyPaintLiesInThePaintBand) {
  const std::vector<datagen::CarModel> cars = datagen::CarModels();
  for (const datagen::CarModel& car : cars) {
    const std::vector<Area> paint = PaintAreas(cars, car.library.name);
    ASSERT_FALSE(paint.empty()) << car.path;
    for (size_t t = 0; t < car.pictures.size(); ++t) {
      const datagen::Picture24& p = car.pictures[t].picture;
      EXPECT_LE(std::max(p.width, p.height), 256);
      EXPECT_EQ(p.width & (p.width - 1), 0);
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
          const bool painted =
              std::any_of(paint.begin(), paint.end(), [&](const Area& a) { return a.Has(t, x, y); });
          ASSERT_EQ(InBand(p.Get(x, y)), painted) << car.path << " " << t << " " << x << "," << y;
        }
    }
  }
}

TEST_F(ModelTest, GlassAloneMeetsThePalettesBlack) {
  PALETTE* palette = LS_AllocPalette();
  for (int32_t i = 0; i < 256; ++i)  // a colour cube whose first entry is black
    palette->Entry[i] = {static_cast<uint8_t>(i / 42 % 6 * 63 / 5), static_cast<uint8_t>(i / 6 % 7 * 63 / 6),
                         static_cast<uint8_t>(i % 6 * 63 / 5)};
  SB_SelectPrototypeSet("obc>stockcar>stockcar.obc");
  const std::vector<datagen::CarModel> cars = datagen::CarModels();
  const datagen::Picture24& glass = cars[0].pictures[SB_Var.GlassLayout[1]].picture;
  BMAP* hsv = LS_CreateBmap(glass.width, glass.height, 24, 0);
  BMAP* mask = LS_CreateBmap(glass.width, glass.height, 8, 0);
  mask->Palette = palette;
  for (int y = 0; y < glass.height; ++y)
    for (int x = 0; x < glass.width; ++x) Hsv(glass.Get(x, y), hsv->Start + y * hsv->ByteLen + 3 * x);
  LS_Bitmove(hsv, mask, 0, 0, glass.width - 1, glass.height - 1, 0, 0, LS_BLIT_OPAQUE);
  int glassTexels = 0;
  for (int y = 0; y < glass.height; ++y)
    for (int x = 0; x < glass.width; ++x) {
      const bool black = glass.Get(x, y) == 0;
      glassTexels += black;
      ASSERT_EQ(mask->Start[y * mask->ByteLen + x] == 0, black) << x << "," << y;
    }
  EXPECT_GT(glassTexels, 1000);
  mask->Palette = nullptr;
  LS_FreeBmap(mask);
  LS_FreeBmap(hsv);
  LS_FreePalette(palette);
}

TEST_F(ModelTest, LampImagesAndAreasSitWhereTheLayoutSays) {
  const std::vector<datagen::CarModel> cars = datagen::CarModels();
  for (const auto& [set, model] :
       {std::pair{"obc>stockcar>stockcar.obc", 0}, std::pair{"obc>netpower>netcar1.obc", 5}}) {
    SB_SelectPrototypeSet(set);
    const int32_t* w = SB_Var.GlassLayout;
    const datagen::Picture24& p = cars[model].pictures[w[0]].picture;
    // Unlit images, their areas, then the lit images: each a uniform w14 x w15
    // rectangle whose neighbours left and right are of another colour.
    const int32_t at[6][2] = {{w[2], w[3]},   {w[6], w[7]}, {w[10], w[11]},
                              {w[12], w[13]}, {w[4], w[5]}, {w[8], w[9]}};
    for (int i = 0; i < 6; ++i) {
      const uint32_t c = p.Get(at[i][0], at[i][1]);
      for (int y = 0; y < w[15]; ++y)
        for (int x = 0; x < w[14]; ++x) ASSERT_EQ(p.Get(at[i][0] + x, at[i][1] + y), c) << set << " " << i;
      EXPECT_NE(p.Get(at[i][0] - 1, at[i][1]), c);
      EXPECT_NE(p.Get(at[i][0] + w[14], at[i][1] + w[15] - 1), c);
      EXPECT_EQ(c, p.Get(at[i < 4 ? 0 : 4][0], at[i < 4 ? 0 : 4][1]));  // unlit alike, lit alike
    }
    EXPECT_GT(p.Get(w[4], w[5]) >> 16, p.Get(w[2], w[3]) >> 16);  // lit is the brighter red
  }
}

// One-sided faces are drawn only from the side their normal points to:
// every one-sided face that lies on its atom's bounding box (the outer
// faces of hull, cabin, wheels, and the rear lamp cards) faces out of it.
TEST_F(ModelTest, OuterFacesFaceOutward) {
  int32_t checked = 0;
  for (const datagen::CarModel& car : datagen::CarModels())
    for (const datagen::ModelAtom& atom : car.atoms) {
      int32_t low[3] = {1 << 30, 1 << 30, 1 << 30}, high[3] = {-(1 << 30), -(1 << 30), -(1 << 30)};
      for (const datagen::ModelPoint& p : atom.points)
        for (int k = 0; k < 3; ++k) {
          const int32_t v = k == 0 ? p.x : k == 1 ? p.y : p.z;
          low[k] = std::min(low[k], v), high[k] = std::max(high[k], v);
        }
      for (const datagen::ModelFace& f : atom.faces) {
        if (!(f.flags & 1 << 5)) continue;
        for (int k = 0; k < 3; ++k)
          for (const int32_t side : {low[k], high[k]}) {
            bool on = true;
            for (int i = 0; i < f.nbPoints; ++i) {
              const datagen::ModelPoint& p = atom.points[f.points[i]];
              on = on && (k == 0 ? p.x : k == 1 ? p.y : p.z) == side;
            }
            if (!on) continue;
            ++checked;
            EXPECT_EQ(f.normal[k] > 0, side == high[k]) << car.path << " " << atom.name << " axis " << k;
          }
      }
    }
  EXPECT_GT(checked, 60);
}

}  // namespace

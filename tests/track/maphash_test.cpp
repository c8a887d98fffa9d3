// The map files the construction writes for the generated circuits and the
// ramp-and-bridge scene, pinned by their SHA-256: any change to the
// construction's results (welding, conversion, cube split, joins, the
// mended T-junctions, filing, visibility sets) shows here. Each map is built by the test from the
// generator's scene, with the polygon merging and the visibility sets off
// ("plain") and on ("full"); "default" is the build of the data tree's
// DEC>NETRACE.DEC (visibility sets on, merging off).
#include <cstdio>
#include <cstring>
#include <string>

#include "datagen/netrace.h"
#include "datagen/pcxwrite.h"
#include "datagen/rampbridge.h"
#include "tests/track/track_fixture.h"
#include "track/scene.h"

namespace {

enum class Variant { kPlain, kDefault, kFull };

// The hash sha256sum gives of the file.
std::string Sha256Of(const std::string& path) {
  FILE* pipe = popen(("sha256sum '" + path + "'").c_str(), "r");
  if (!pipe) return "";
  char digest[65] = {};
  const size_t got = std::fread(digest, 1, 64, pipe);
  pclose(pipe);
  return got == 64 ? std::string(digest) : "";
}

class MapHash : public ztest::TrackTest {
 protected:
  uint32_t HeapSize() const override { return 200u << 20; }
  // Builds the scene as the console's BUILDMAP does and saves it; the
  // saved file's hash.
  std::string Build(const std::string& scene, Variant variant, const char* warning = nullptr) {
    const std::vector<uint8_t> pvs = datagen::EncodePcx(datagen::NetracePvsPicture());
    ztest::WriteFile(Path("TXT/TRAVUN/PVS.PCX"), std::string(pvs.begin(), pvs.end()));
    ztest::WriteFile(Path("ASC/SCENE.ASC"), scene);
    std::strcpy(SB_Var.TexturePath, "TRAVUN>");
    SB_Var.SplitTextureRepeats = 1;
    SB_Var.UsingPvs = variant != Variant::kPlain;
    SB_Var.Simplification = variant == Variant::kFull;
    EXPECT_EQ(SB_LoadAndBuildMap("ASC>SCENE.ASC"), 1);
    for (const std::string& l : SB_PrintedLines()) {
      if (warning && l == warning) continue;
      EXPECT_EQ(l.find("Map warning"), std::string::npos) << l;
      EXPECT_EQ(l.find("rror"), std::string::npos) << l;
    }
    if (warning) {
      EXPECT_TRUE(Printed(warning)) << warning;
    }
    SB_SaveDecor("OUT.DEC");
    SB_FreeDecor();
    return Sha256Of(Path("OUT.DEC"));
  }
  static std::string Circuit(int32_t faces) {
    return datagen::NetraceScene(faces ? datagen::NetraceSegmentsFor(faces) : datagen::kNetraceSegments);
  }
};

struct HashRow {
  const char* name;
  int32_t faces;  // of the generated circuit (0: its default size, -1: the ramp and bridge)
  Variant variant;
  const char* sha256;
  const char* warning = nullptr;  // the one warning the build prints
};

const HashRow kMaps[] = {
    {"circuit 3,072 plain", 0, Variant::kPlain, 
     "9bef899f2d9c66fa8a79671a40b54e13ae369180a4938f533cb9fe5369314ec4"},
    {"circuit 3,072 default", 0, Variant::kDefault, 
     "1daaf02c8837ff9030253219890926c8d2bb949cb53bf8234a7fa99149e864b2"},
    {"circuit 3,072 full", 0, Variant::kFull, 
     "f278d587cf5f0b6dc430e247939f4b0522008a7b072b4a1822ac5670231ebc73"},
    {"ramp and bridge plain", -1, Variant::kPlain, 
     "3c6781515a5f423ad6c5353ccb75cde4dbb0ebff1bb14b1333c515f39d9ec898"},
    {"ramp and bridge full", -1, Variant::kFull, 
     "97f5e768ca5a261d616a800328439697b9823de860d4142c9ce407cf42c9292c"},
};

TEST_F(MapHash, SmallMapsKeepTheirBytes) {
  for (const HashRow& row : kMaps) {
    SB_ClearPrintedLines();
    const std::string scene = row.faces < 0 ? datagen::RampBridgeScene() : Circuit(row.faces);
    EXPECT_EQ(Build(scene, row.variant), row.sha256) << row.name;
  }
}

// Each small cube holds at most 255 faces: the finest circuit's cubes
// overflow.
constexpr const char* kDropped = "Map warning: 1629 faces dropped (cube limits)";
const HashRow kLargeFull = {"circuit 19,992 full", 20000, Variant::kFull,
                            "2242da05a5d698f5e0f95d151ac547442477e32b88ceb0a536a87e537abd6632", kDropped};
const HashRow kLargePlain = {"circuit 19,992 plain", 20000, Variant::kPlain,
                             "5026aec967b69900b9dc386ad6bf7602db37a006c19b2920426d532488c6d8e7", kDropped};

// A build of 20,000 faces: about 2 s, 8 s under the sanitizers.
TEST_F(MapHash, LargeMapKeepsItsBytes) {
  EXPECT_EQ(Build(Circuit(kLargeFull.faces), kLargeFull.variant, kLargeFull.warning), kLargeFull.sha256);
}

// The same circuit without merging and visibility sets: run on request
// (--gtest_also_run_disabled_tests), to keep the suite's time.
TEST_F(MapHash, DISABLED_LargePlainMapKeepsItsBytes) {
  EXPECT_EQ(Build(Circuit(kLargePlain.faces), kLargePlain.variant, kLargePlain.warning), kLargePlain.sha256);
}

// The polygon map's 300,000 corner links do not hold the circuit of
// 49,992 faces: the build stops with the conversion's message and keeps
// nothing.
TEST_F(MapHash, TheLargestCircuitOverflowsTheConversion) {
  ztest::WriteFile(Path("ASC/SCENE.ASC"), Circuit(50000));
  SB_Var.SplitTextureRepeats = 1;
  EXPECT_EQ(SB_LoadAndBuildMap("ASC>SCENE.ASC"), 0);
  EXPECT_TRUE(Printed("Map conversion error: TFPPOINTOFFSET full !!!"));
  EXPECT_EQ(SB_Var.Decor.Loaded, 0);
}

}  // namespace

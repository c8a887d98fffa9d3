// The ILBM reader on 640 x 480 pictures of 1, 4 and 8 bit planes, raw and
// ByteRun1 coded, of a photo-like and of a flat scene, written by the
// project's ILBM writer and by netpbm's ppmtoilbm. ImageMagick has no ILBM
// reader: beside each it reads the same pixels in the nearest format it
// does read, a raw colour-mapped TGA for a raw ILBM and a run-length PCX
// for a coded one.
#include <string>
#include <vector>

#include "bench/peers.h"
#include "datagen/benchfiles.h"
#include "datagen/ilbmwrite.h"

namespace {

using bench::kHeight;
using bench::kWidth;

// The same indices as a raw TGA with the palette as its map.
std::vector<uint8_t> MappedTga(const datagen::Picture8& p) {
  datagen::TgaImage t{p.width, p.height, 8, p.pixels, {}};
  for (size_t i = 0; i < p.palette.size(); i += 3)
    t.map.insert(t.map.end(), {p.palette[i + 2], p.palette[i + 1], p.palette[i]});
  return datagen::EncodeTga(t, false);
}

std::vector<bench::PictureCase> MakeCases(const std::filesystem::path& folder) {
  std::vector<bench::PictureCase> cases;
  for (const datagen::Scene scene : {datagen::Scene::kPhoto, datagen::Scene::kFlat}) {
    const std::string sceneName = datagen::SceneName(scene);
    for (const int planes : {1, 4, 8}) {
      const datagen::Picture8 picture = datagen::SceneIndexed(scene, kWidth, kHeight, planes);
      const std::string tag = bench::SceneLetter(sceneName) + std::to_string(planes);
      const std::filesystem::path tga = folder / ("M" + tag + ".TGA"), pcx = folder / ("M" + tag + ".PCX");
      bench::WriteBytes(tga, MappedTga(picture));
      bench::WriteBytes(pcx, datagen::EncodePcx(picture));
      const std::filesystem::path ppm = folder / ("S" + tag + ".PPM");
      bench::WritePpm(ppm, bench::Colours(picture));
      for (const bool packed : {false, true}) {
        const std::string stem = "/" + sceneName + (packed ? "/byterun1/" : "/raw/") + std::to_string(planes);
        const std::string peer = (packed ? pcx : tga).string();
        const std::string own = "I" + tag + (packed ? "C" : "U") + ".LBM";
        bench::WriteBytes(folder / own, datagen::EncodeIlbm(picture, planes, packed));
        cases.push_back({"ILBM" + stem + "/own", own, peer, "BGR", LS_LoadIff});
        const std::string netpbm = "N" + tag + (packed ? "C" : "U") + ".LBM";
        if (bench::Netpbm("ppmtoilbm -fixplanes " + std::to_string(planes) + (packed ? " -compress " : " -nocompress ") +
                              ppm.string(),
                          folder / netpbm))
          cases.push_back({"ILBM" + stem + "/netpbm", netpbm, peer, "BGR", LS_LoadIff});
      }
    }
  }
  return cases;
}

}  // namespace

int main(int argc, char** argv) { return bench::RunPictureCases(argc, argv, MakeCases); }

// The PCX reader beside ImageMagick on 640 x 480 8-bit pictures of a
// photo-like and of a flat scene, written by the project's PCX writer and
// by netpbm's ppmtopcx.
#include <string>
#include <vector>

#include "bench/peers.h"
#include "datagen/benchfiles.h"

namespace {

using bench::kHeight;
using bench::kWidth;

std::vector<bench::PictureCase> MakeCases(const std::filesystem::path& folder) {
  std::vector<bench::PictureCase> cases;
  for (const datagen::Scene scene : {datagen::Scene::kPhoto, datagen::Scene::kFlat}) {
    const std::string sceneName = datagen::SceneName(scene);
    const datagen::Picture8 picture = datagen::SceneIndexed(scene, kWidth, kHeight, 8);
    const std::string own = std::string("P") + bench::SceneLetter(sceneName) + ".PCX";
    bench::WriteBytes(folder / own, datagen::EncodePcx(picture));
    cases.push_back({"PCX/" + sceneName + "/8/own", own, (folder / own).string(), "BGR", LS_LoadPcx});
    const std::filesystem::path ppm = folder / ("S" + sceneName + ".PPM");
    bench::WritePpm(ppm, bench::Colours(picture));
    const std::string netpbm = std::string("N") + bench::SceneLetter(sceneName) + ".PCX";
    if (bench::Netpbm("ppmtopcx -8bit " + ppm.string(), folder / netpbm))
      cases.push_back({"PCX/" + sceneName + "/8/netpbm", netpbm, (folder / netpbm).string(), "BGR", LS_LoadPcx});
  }
  return cases;
}

}  // namespace

int main(int argc, char** argv) { return bench::RunPictureCases(argc, argv, MakeCases); }

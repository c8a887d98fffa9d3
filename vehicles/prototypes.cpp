// The vehicle prototype set: its five model files, the brake-lamp and
// window layout of the known sets, loading, freeing and the choice made by
// a car's setup.
#include <cstdio>
#include <cstring>
#include <numbers>

#include "engine3d/matrix.h"
#include "engine3d/object.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "vehicles/cars.h"
#include "vehicles/devenv.h"

namespace {

constexpr const char* kDefaultNames[SB_NBPROTOTYPEFILES] = {
    "obc>stockcar>stockcar.obc", "obc>simplcar>simlpkar.obc", "obc>netpower>burncar>netcar1.obc",
    "obc>simpcar2>simpcar2.obc", "obc>simpcar3>simpcar3.obc"};

struct KnownSet {
  const char* name;
  int32_t layout[SB_GLASSLAYOUTWORDS];
};
constexpr KnownSet kKnownSets[] = {
    {"OBC>NETPOWER>NETCAR1.OBC", {1, 2, 5, 40, 5, 31, 100, 40, 100, 31, 5, 63, 100, 63, 20, 9, 256}},
    {"OBC>STOCKCAR>STOCKCAR.OBC",
     {0, 1, 176, 250, 176, 244, 122, 250, 122, 244, 176, 181, 122, 181, 15, 6, 256}},
    {"OBC>VOITURE>VOITURE.OBC",
     {0, 1, 176, 250, 176, 244, 122, 250, 122, 244, 176, 181, 122, 181, 15, 6, 256}},
};

// Copies a name into a prototype buffer, cut to fit.
void CopyName(char (&to)[SB_PROTONAMESIZE], const char* from) { std::snprintf(to, sizeof to, "%s", from); }

void ResetNames(const char* full) {
  for (int32_t i = 0; i < SB_NBPROTOTYPEFILES; ++i) CopyName(SB_Var.PrototypeNames[i], kDefaultNames[i]);
  if (full) CopyName(SB_Var.PrototypeNames[0], full);
}

}  // namespace

void SB_SelectPrototypeSet(const char* name) {
  SB_Var.KnownPrototype = 0;
  if (!name) return;
  char upper[SB_PROTONAMESIZE];
  CopyName(upper, name);
  LS_StrUpper(upper);
  for (const KnownSet& set : kKnownSets) {
    if (std::strcmp(upper, set.name) != 0) continue;
    ResetNames(set.name);
    std::memcpy(SB_Var.GlassLayout, set.layout, sizeof set.layout);
    SB_Var.KnownPrototype = 1;
    return;
  }
}

void SB_LoadVehiclePrototypes(const char* name) {
  SB_FreeVehiclePrototypes();  // a set still loaded would be lost
  ResetNames(name);
  SB_SelectPrototypeSet(SB_Var.PrototypeNames[0]);
  E3D_MatFromAngles(SB_Var.CarAxisMatrix, std::numbers::pi / 2, std::numbers::pi / 2, 0.0);
  E3D_MatTranspose(SB_Var.CarAxisMatrix, SB_Var.CarAxisMatrixT);
  const auto& n = SB_Var.PrototypeNames;
  SB_Var.VehiclePrototype = LoadObjectAndVariants(n[0], n[1], n[2], n[3], n[4]);
  if (SB_Var.VehiclePrototype) SB_ObjectBmapsRGBtoHSV(SB_Var.VehiclePrototype);
}

void SB_FreeVehiclePrototypes() {
  FreeObject(SB_Var.VehiclePrototype);
  SB_Var.VehiclePrototype = nullptr;
}

void SB_SelectVehiclePrototype(const char* name) {
  if (!name || !name[0]) return;
  char wanted[SB_PROTONAMESIZE];
  CopyName(wanted, name);
  if (std::strcmp(wanted, SB_Var.SelectedPrototype) == 0) {
    SB_ConsolePrintf("Same vehicle prototype...");
    return;
  }
  CopyName(SB_Var.SelectedPrototype, wanted);
  SB_ConsolePrintf("Free vehicle prototypes...");
  SB_FreeVehiclePrototypes();
  SB_ConsolePrintf("Loading vehicle prototypes...");
  SB_LoadVehiclePrototypes(wanted);
  if (SB_Var.VehiclePrototype) return;
  // No set would be left for any later car: the default one comes back.
  SB_ConsolePrintf("Loading vehicle prototypes...");
  SB_LoadVehiclePrototypes(nullptr);
}

// The vehicle-parameter file "dat>vparams.txt": every car reads every key
// line of the whole text after its first "{" (the last line of a key wins),
// and the file is written back one block per car.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/sbvar.h"
#include "system/heap.h"
#include "vehicles/vparams.h"

namespace {

int32_t CarCount() { return SB_Var.NbCars < SB_MAXCARS ? SB_Var.NbCars : SB_MAXCARS; }

// The decimal number after "=": null when there is none or it is not
// finite (nan, inf, or beyond the range of a double).
bool ParseValue(const char* text, const char* end, double* value) {
  std::string number(text, static_cast<size_t>(end - text));
  char* stop = nullptr;
  const double v = std::strtod(number.c_str(), &stop);
  if (stop == number.c_str() || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

// Every key line from the first "{" to the end into the block.
void ReadText(const char* text, int32_t size, TVPARAMBLOCK* block) {
  const char* end = text + size;
  const char* p = static_cast<const char*>(std::memchr(text, '{', static_cast<size_t>(size)));
  if (!p) return;
  while (p < end) {
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    if (!eol) eol = end;
    SB_ParseVParamLine(p, static_cast<int32_t>(eol - p), block);
    p = eol + 1;
  }
}

}  // namespace

double SB_GetVParamValue(const TVPARAMDESC& row, const TVPARAMBLOCK& block) {
  const char* field = reinterpret_cast<const char*>(&block) + row.Field;
  if (row.Type == 0) {
    int32_t v;
    std::memcpy(&v, field, sizeof v);
    return v;
  }
  if (row.Type == 1) {
    float v;
    std::memcpy(&v, field, sizeof v);
    return v;
  }
  double v;
  std::memcpy(&v, field, sizeof v);
  return v;
}

int32_t SB_SetVParamValue(const TVPARAMDESC& row, double value, int32_t round, TVPARAMBLOCK* block) {
  if (!block || !std::isfinite(value)) return 0;
  value = std::clamp(value, static_cast<double>(row.Min), static_cast<double>(row.Max));
  char* field = reinterpret_cast<char*>(block) + row.Field;
  if (row.Type == 0) {
    const int32_t v = static_cast<int32_t>(round ? value + 0.5 : value);  // the range fits an int32
    std::memcpy(field, &v, sizeof v);
  } else if (row.Type == 1) {
    const float v = static_cast<float>(value);
    std::memcpy(field, &v, sizeof v);
  } else {
    std::memcpy(field, &value, sizeof value);
  }
  return 1;
}

int32_t SB_ParseVParamLine(const char* line, int32_t length, TVPARAMBLOCK* block) {
  const char* end = line + length;
  const char* equal = static_cast<const char*>(std::memchr(line, '=', static_cast<size_t>(length)));
  if (!equal) return 0;
  for (int32_t i = 0; i < SB_NBVPARAMS; ++i) {
    const TVPARAMDESC& row = SB_VParamTable[i];
    const size_t n = std::strlen(row.Name);
    if (n > static_cast<size_t>(length) || std::memcmp(line, row.Name, n) != 0) continue;
    double value;
    if (!ParseValue(equal + 1, end, &value)) return 0;
    return SB_SetVParamValue(row, value, 0, block);
  }
  return 0;
}

void SB_ReadVParams() {
  void* data = nullptr;
  const int32_t size = SB_LoadWholeFile(SB_VPARAMSFILE, &data);
  for (int32_t i = 0; i < CarCount(); ++i) {
    TCAR* car = SB_Var.Cars[i];
    if (!car) continue;
    if (data) ReadText(static_cast<const char*>(data), size, &car->VParams);
    SB_ApplyVParams(car);
  }
  if (data) LS_Release(data);
}

void SB_WriteVParams() {
  std::string text = "VEHICLES PARAMETERS:\n\n";
  char line[400];  // "%f" of the largest double fits
  for (int32_t i = 0; i < CarCount(); ++i) {
    std::snprintf(line, sizeof line, "VEHICLE #%ld.\n{\n", static_cast<long>(i));
    text += line;
    if (const TCAR* car = SB_Var.Cars[i]) {
      for (int32_t r = 0; r < SB_NBVPARAMS; ++r) {
        const TVPARAMDESC& row = SB_VParamTable[r];
        const double v = SB_GetVParamValue(row, car->VParams);
        if (row.Type == 0)
          std::snprintf(line, sizeof line, "%s=%ld\n", row.Name, static_cast<long>(v));
        else
          std::snprintf(line, sizeof line, "%s=%f\n", row.Name, v);
        text += line;
      }
    }
    text += "}\n";
  }
  // A folder that cannot be written is said on the console; the race goes on.
  int32_t written = -1;
  {
    const SB_KeepFileErrors keep;
    if (const int32_t file = SB_OpenFile(SB_VPARAMSFILE, SB_OPEN_CREATE)) {
      written = SB_WriteFile(file, text.data(), static_cast<int32_t>(text.size()));
      SB_CloseFile(file);
    }
  }
  if (written != static_cast<int32_t>(text.size())) SB_ConsolePrintf("Internal error... cannot create file...");
}

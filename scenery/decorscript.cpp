// The decor script parser: a script's text into the blocks and timed
// commands of one decor object, and their preparation after loading.
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine3d/object.h"
#include "scenery/decorobjects.h"
#include "scenery/decorscan.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/heap.h"

namespace {

constexpr const char* kOwner = "LoadDecorObjectScript";
// Bounds on what a script can make: a block of COPYs of COPYs would double
// at each block.
constexpr int32_t kMaxBlocks = 4096;
constexpr int32_t kMaxCommands = 4096;
constexpr int32_t kNumberText = 64;  // characters of one number handed to the conversion
constexpr int32_t kTableNameSize = 256;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Past blanks and ";" comments, which end at CR or LF.
void SkipBlanks(DecorScan& s) {
  while (!s.AtEnd()) {
    if (IsBlank(*s.p)) {
      ++s.p;
    } else if (*s.p == ';') {
      while (!s.AtEnd() && *s.p != '\r' && *s.p != '\n') ++s.p;
    } else {
      return;
    }
  }
}

// The C library's conversion of the number at the scan position, then past
// the digits, '.', '+', '-' and the exponent's 'E' or 'e' that follow (the
// conversion takes either, so a lower-case exponent must not be left to
// be read as the next number). A value that is not finite reads as 0.
double Number(DecorScan& s) {
  SkipBlanks(s);
  char text[kNumberText];
  int32_t n = 0;
  while (n < kNumberText - 1 && s.p + n < s.end) {
    text[n] = s.p[n];
    ++n;
  }
  text[n] = 0;
  double v = std::strtod(text, nullptr);
  while (!s.AtEnd() && (std::strchr("0123456789.+-Ee", *s.p) && *s.p)) ++s.p;
  SkipBlanks(s);
  return std::isfinite(v) ? v : 0.0;
}

// A number at single precision; one beyond its range reads as 0.
float Single(DecorScan& s) {
  const double v = Number(s);
  return std::fabs(v) <= FLT_MAX ? static_cast<float>(v) : 0.0f;
}

// A number truncated to an integer, its low 8 bits.
uint8_t Byte(DecorScan& s) {
  const double v = Number(s);
  return std::fabs(v) < 9.2e18 ? static_cast<uint8_t>(static_cast<int64_t>(v) & 0xFF) : 0;
}

// n numbers at single precision, each optionally followed by a comma.
void Numbers(DecorScan& s, int32_t n, double* out) {
  for (int32_t k = 0; k < n; ++k) {
    out[k] = Single(s);
    if (!s.AtEnd() && *s.p == ',') ++s.p;
  }
  SkipBlanks(s);
}

// A run of letters, digits and '_', its first 15 characters kept.
void Word(DecorScan& s, char (&name)[SB_DECORPARTSIZE]) {
  SkipBlanks(s);
  int32_t n = 0;
  while (!s.AtEnd() && (std::isalnum(static_cast<unsigned char>(*s.p)) || *s.p == '_')) {
    if (n < SB_DECORPARTSIZE - 1) name[n++] = *s.p;
    ++s.p;
  }
  name[n] = 0;
}

// The parser's state: the object being filled, the array sizes, and what
// is open.
struct Parser {
  TDECOROBJ* entry;
  int32_t blockRoom = 0;
  int32_t commandRoom = 0;  // of the last block
  bool inBlock = false;
  bool inCommand = false;
  bool blockGone = true;    // the open block has no record (none, or no room)
  bool commandGone = true;  // the open command has none (no room, or taken out by COPY)

  TDECORBLOCK* Block() { return blockGone ? nullptr : &entry->Blocks[entry->NbBlocks - 1]; }
  TDECORCMD* Command() {
    TDECORBLOCK* b = Block();
    return !b || commandGone ? nullptr : &b->Commands[b->NbCommands - 1];
  }
};

// Room for one more record in a growing array; false (nothing changed)
// when the limit is reached or the heap refuses.
template <typename T>
bool Grow(T*& array, int32_t count, int32_t& room, int32_t limit) {
  if (count < room) return true;
  if (count >= limit) return false;
  const int32_t wanted = room < 4 ? 4 : room * 2 > limit ? limit : room * 2;
  T* bigger = static_cast<T*>(SB_GetMem(wanted * static_cast<int32_t>(sizeof(T)), kOwner));
  if (!bigger) return false;
  if (array) {
    std::memcpy(bigger, array, sizeof(T) * static_cast<size_t>(count));
    SB_Release(array);
  }
  array = bigger;
  room = wanted;
  return true;
}

void OpenBlock(Parser& ps) {
  TDECOROBJ* e = ps.entry;
  ps.inBlock = true;
  ps.blockGone = true;
  if (!Grow(e->Blocks, e->NbBlocks, ps.blockRoom, kMaxBlocks)) return;
  TDECORBLOCK& b = e->Blocks[e->NbBlocks++];
  b = {};
  if (e->Object) std::snprintf(b.Name, sizeof b.Name, "%.*s", SB_DECORPARTSIZE - 1, e->Object->Name);
  b.Object = e->Object;
  ps.commandRoom = 0;
  ps.blockGone = false;
}

// The new command starts with the speeds of the block's previous one.
void OpenCommand(Parser& ps) {
  ps.inCommand = true;
  ps.commandGone = true;
  TDECORBLOCK* b = ps.Block();
  if (!b || !Grow(b->Commands, b->NbCommands, ps.commandRoom, kMaxCommands)) return;
  TDECORCMD& c = b->Commands[b->NbCommands++];
  c = {};
  if (b->NbCommands > 1) {
    const TDECORCMD& previous = b->Commands[b->NbCommands - 2];
    std::memcpy(c.Speed, previous.Speed, sizeof c.Speed);
    std::memcpy(c.AngularSpeed, previous.AngularSpeed, sizeof c.AngularSpeed);
  }
  ps.commandGone = false;
}

// "}:" names the part the block moves: the rest of the line, its first 15
// characters kept.
void PartName(Parser& ps, DecorScan& s) {
  while (!s.AtEnd() && (*s.p == ' ' || *s.p == '\t')) ++s.p;
  char name[SB_DECORPARTSIZE];
  int32_t n = 0;
  while (!s.AtEnd() && *s.p != '\r' && *s.p != '\n') {
    if (n < SB_DECORPARTSIZE - 1) name[n++] = *s.p;
    ++s.p;
  }
  name[n] = 0;
  TDECORBLOCK* b = ps.Block();
  if (n == 0 || !b) return;
  OBJECT* list = ps.entry->Object;
  b->Object = list ? SB_FindObjectByName(list, name) : nullptr;
}

// A copy of a command whose TABLE data is its own.
bool CopyCommand(const TDECORCMD& from, TDECORCMD& to) {
  to = from;
  if (!from.Table) return true;
  const uint32_t size = static_cast<uint32_t>(from.TableCount) * SB_DECORTABLERECORD;
  to.Table = nullptr;
  to.TableCount = 0;
  if (size == 0) return true;
  to.Table = static_cast<uint8_t*>(LS_GetMemHeap(LS_DefaultHeap, size));
  if (!to.Table) return false;
  std::memcpy(to.Table, from.Table, size);
  to.TableCount = from.TableCount;
  return true;
}

// COPY: the commands of every earlier block of that name appended in place
// of the open command, their GOTO targets moved by where they land.
void Copy(Parser& ps, DecorScan& s) {
  char name[SB_DECORPARTSIZE];
  Word(s, name);
  TDECOROBJ* e = ps.entry;
  const int32_t current = e->NbBlocks - 1;
  bool removed = false;
  for (int32_t j = 0; j < current; ++j) {
    if (std::strcmp(e->Blocks[j].Name, name) != 0) continue;
    TDECORBLOCK* b = &e->Blocks[current];
    if (!removed) {
      TDECORCMD& own = b->Commands[--b->NbCommands];
      if (own.Table) LS_Release(own.Table);
      ps.commandGone = removed = true;
    }
    const int32_t base = b->NbCommands;
    const int32_t n = e->Blocks[j].NbCommands;
    for (int32_t k = 0; k < n; ++k) {
      if (!Grow(b->Commands, b->NbCommands, ps.commandRoom, kMaxCommands)) return;
      TDECORCMD& copy = b->Commands[b->NbCommands];
      if (!CopyCommand(e->Blocks[j].Commands[k], copy)) return;
      ++b->NbCommands;
      if (copy.Flags & DECOR_GOTO) copy.Target = static_cast<uint8_t>(copy.Target + base);
    }
  }
}

// TABLE: a file name, optionally opened by a double quote, closed by one
// or by the line's end.
void Table(DecorScan& s, TDECORCMD* c) {
  SkipBlanks(s);
  if (!s.AtEnd() && *s.p == '"') ++s.p;
  char name[kTableNameSize];
  int32_t n = 0;
  while (!s.AtEnd() && *s.p != '"' && *s.p != '\r' && *s.p != '\n') {
    if (n < kTableNameSize - 1) name[n++] = *s.p;
    ++s.p;
  }
  name[n] = 0;
  if (!s.AtEnd() && *s.p == '"') ++s.p;
  if (!c) return;
  void* data = nullptr;
  const int32_t size = SB_LoadWholeFile(name, &data);
  if (size <= 0 || !data) return;
  if (c->Table) LS_Release(c->Table);
  c->Table = static_cast<uint8_t*>(data);
  c->TableCount = size / SB_DECORTABLERECORD;
  c->Flags |= DECOR_TABLE;
}

// A keyword at the scan position inside the open command, with its
// arguments; false when none begins there.
bool Keyword(Parser& ps, DecorScan& s) {
  TDECORCMD scratch{};  // takes the values when the command is gone
  TDECORCMD* c = ps.Command();
  TDECORCMD& d = c ? *c : scratch;
  auto take = [&](const char* word) {
    if (!s.At(word)) return false;
    s.p += std::strlen(word);
    SkipBlanks(s);
    return true;
  };
  if (take("COPY")) {
    if (c) {
      Copy(ps, s);
    } else {
      char ignored[SB_DECORPARTSIZE];
      Word(s, ignored);
    }
  } else if (take("AUTOANGLE")) d.Flags |= DECOR_AUTOANGLE;
  else if (take("TABLE")) Table(s, c);
  else if (take("AUTOSPEED")) d.Flags |= DECOR_AUTOSPEED;
  else if (take("AUTOALT")) d.Altitude = Single(s), d.Flags |= DECOR_AUTOALT;
  else if (take("AUTOPENCHE")) d.Flags |= DECOR_AUTOPENCHE;
  else if (take("SINEXYZ")) Numbers(s, 3, d.Position), d.Flags |= DECOR_SINEXYZ;
  else if (take("RIGHTNOW")) d.Flags |= DECOR_RIGHTNOW;
  else if (take("TIME")) d.Duration = Number(s), d.Flags |= DECOR_TIME;
  else if (take("VMINMAX")) {
    double v[2];
    Numbers(s, 2, v);
    d.SpeedMin = static_cast<float>(v[0]), d.SpeedMax = static_cast<float>(v[1]);
    d.Flags |= DECOR_VMINMAX;
  } else if (take("AVMINMAX")) {
    double v[2];
    Numbers(s, 2, v);
    d.AngularSpeedMin = static_cast<float>(v[0]), d.AngularSpeedMax = static_cast<float>(v[1]);
    d.Flags |= DECOR_AVMINMAX;
  } else if (take("ACC")) Numbers(s, 3, d.Acceleration), d.Flags |= DECOR_ACC;
  else if (take("AACC")) Numbers(s, 3, d.AngularAcceleration), d.Flags |= DECOR_AACC;
  else if (take("GOTO")) d.Target = Byte(s), d.Flags |= DECOR_GOTO;
  else if (take("RANDTIME")) d.Target = Byte(s), d.Flags |= DECOR_RANDTIME | DECOR_TIME;
  else if (take("XYZ")) Numbers(s, 3, d.Position), d.Flags |= DECOR_XYZ;
  else if (take("SPEED")) Numbers(s, 3, d.Speed), d.Flags |= DECOR_SPEED;
  else if (take("ANGLE")) Numbers(s, 3, d.Angles), d.Flags |= DECOR_ANGLE;
  else if (take("ASPEED")) Numbers(s, 3, d.AngularSpeed), d.Flags |= DECOR_ASPEED;
  else return false;
  return true;
}

void Parse(Parser& ps, DecorScan& s) {
  SkipBlanks(s);
  while (!s.AtEnd()) {
    const char c = *s.p;
    if (c == '{') {
      ++s.p;
      if (!ps.inBlock) OpenBlock(ps);
      else if (!ps.inCommand) OpenCommand(ps);
    } else if (c == '}') {
      ++s.p;
      if (ps.inCommand) {
        ps.inCommand = false;
      } else if (ps.inBlock) {
        ps.inBlock = false;
        ps.commandGone = true;
        if (!s.AtEnd() && *s.p == ':') {
          ++s.p;
          PartName(ps, s);
        }
      }
    } else if (!(ps.inCommand && Keyword(ps, s))) {
      ++s.p;  // not part of the language: skipped a byte at a time
    }
    SkipBlanks(s);
  }
}

}  // namespace

__attribute__((weak)) void LoadDecorObjectScript(int32_t i) {
  if (!SB_Var.DecorObjects || i < 0 || i >= SB_Var.NbDecorObjects) return;
  TDECOROBJ* entry = &SB_Var.DecorObjects[i];
  entry->NbBlocks = 0;
  entry->CurrentBlock = -1;
  entry->Blocks = nullptr;
  if (!SB_Var.DecorScriptNames) return;
  void* text = nullptr;
  const int32_t size = SB_LoadWholeFile(SB_Var.DecorScriptNames[i], &text);
  if (size <= 0 || !text) return;
  Parser ps{entry};
  DecorScan s{static_cast<const char*>(text), static_cast<const char*>(text) + size};
  Parse(ps, s);
  LS_Release(text);
}

__attribute__((weak)) void SB_PrepareDecorScript(TDECOROBJ* entry) {
  if (!entry || !entry->Blocks) return;
  for (int32_t j = 0; j < entry->NbBlocks; ++j) {
    TDECORBLOCK& b = entry->Blocks[j];
    b.Flags &= ~DECOR_RUNNING;
    for (int32_t k = 0; k < b.NbCommands; ++k) {
      TDECORCMD& c = b.Commands[k];
      if ((c.Flags & DECOR_AUTOSPEED) && k + 1 < b.NbCommands) {
        // A duration that is not above 0 (the path editor writes TIME 0)
        // gives no speed rather than a division by it.
        const double t = c.Duration;
        for (int32_t a = 0; a < 3; ++a)
          c.Speed[a] = t > 0.0 && std::isfinite(t) ? (b.Commands[k + 1].Position[a] - c.Position[a]) / t : 0.0;
        c.Flags |= DECOR_SPEED;
      }
      c.Flags |= DECOR_FRESH;
    }
  }
}

__attribute__((weak)) void SB_PrepareDecorScripts() {
  if (!SB_Var.DecorObjects) return;
  for (int32_t i = 0; i < SB_Var.NbDecorObjects; ++i) SB_PrepareDecorScript(&SB_Var.DecorObjects[i]);
}

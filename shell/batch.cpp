// Batch files: text files of command lines, run one line after the other
// with the arguments %1 and %2, until their end or a break.
#include <cstdio>
#include <cstring>

#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/interpreter.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/startup.h"
#include "system/file.h"

namespace {

constexpr char kCarriageReturn = 13, kLineFeed = 10;

void RunLine(const char* text, const char* first, const char* second) {
  char line[SB_WORDSIZE];
  std::snprintf(line, sizeof line, "%s", text);
  SB_ReplaceBatchArg(line, '1', first, sizeof line);
  SB_ReplaceBatchArg(line, '2', second, sizeof line);
  SB_TrimLeft(line);
  SB_BatchLineHook();
  SB_ExecCommand("%s", line);
}

// A carriage return ends a line and a line feed right after it is skipped;
// any other byte, a lone line feed too, belongs to the line, which is cut
// at 255 characters. The last line runs without a carriage return.
void RunText(const char* text, int32_t size, const char* first, const char* second) {
  char line[SB_WORDSIZE];
  size_t length = 0;
  for (int32_t i = 0; i < size; ++i) {
    if (SB_Var.BatchBreak) return;
    if (text[i] == kCarriageReturn) {
      line[length] = 0;
      RunLine(line, first, second);
      length = 0;
      if (i + 1 < size && text[i + 1] == kLineFeed) ++i;
      continue;
    }
    if (length < sizeof line - 1) line[length++] = text[i];
  }
  if (SB_Var.BatchBreak) return;
  line[length] = 0;
  RunLine(line, first, second);
}

// Counts the batches running inside each other while one runs.
struct Nested {
  Nested() { ++SB_Var.BatchDepth; }
  ~Nested() { --SB_Var.BatchDepth; }
};

}  // namespace

void SB_BreakBatch() { SB_Var.BatchBreak = 1; }

void SB_RunBatch(const char* name, const char* first, const char* second) {
  // A batch that runs itself would otherwise recurse without end.
  if (SB_Var.BatchDepth >= SB_MAXBATCHDEPTH) {
    SB_ConsolePrintf("Batch nesting too deep !!!");
    SB_BreakBatch();
    return;
  }
  char path[LS_PATHSIZE];
  std::snprintf(path, sizeof path, "dat>%s", name ? name : "");
  SB_Var.BatchBreak = 0;
  if (!LS_FileExists(path)) {
    SB_ConsolePrintf("File error... type DIR for directory...");
    return;
  }
  const int32_t size = LS_GetFileSize(path);
  char* text = size > 0 ? static_cast<char*>(SB_LoadFile(path)) : nullptr;
  if (size > 0 && !text) {
    SB_ConsolePrintf("Internal error... error wile loading...");
    return;
  }
  {
    Nested nested;
    RunText(text, size, first ? first : "", second ? second : "");
  }
  if (text) SB_Release(text);
}

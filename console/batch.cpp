// Batch files: text files of command lines, run one line after the other
// with the arguments %1 and %2, until their end or a break.
#include <cstdio>
#include <cstring>

#include "console/interpreter.h"
#include "console/startup.h"
#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/textlines.h"
#include "system/file.h"

namespace {

void RunLine(const char* text, const char* first, const char* second) {
  char line[SB_WORDSIZE];
  std::snprintf(line, sizeof line, "%s", text);
  SB_ReplaceBatchArg(line, '1', first, sizeof line);
  SB_ReplaceBatchArg(line, '2', second, sizeof line);
  SB_TrimLeft(line);
  SB_BatchLineHook();
  SB_ExecCommand("%s", line);
}

void RunText(const char* text, int32_t size, const char* first, const char* second) {
  SB_ForEachLine(text, size, [&](const char* line) {
    if (SB_Var.BatchBreak) return false;
    RunLine(line, first, second);
    return true;
  });
}

// Counts the batches running inside each other while one runs.
struct Nested {
  Nested() { ++SB_Var.BatchDepth; }
  ~Nested() { --SB_Var.BatchDepth; }
};

bool g_outermostRead = false;

}  // namespace

bool SB_OutermostBatchRead() { return g_outermostRead; }

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
  char* text = nullptr;
  int32_t size = 0;
  const bool loaded = SB_LoadTextFile(path, &text, &size);
  if (SB_Var.BatchDepth == 0) g_outermostRead = loaded;
  if (!loaded) return;
  {
    Nested nested;
    RunText(text, size, first ? first : "", second ? second : "");
  }
  if (text) SB_Release(text);
}

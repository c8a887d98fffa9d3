// Executing one command line: formatting, echo, splitting into words, the
// command table, then the race and network interpreter.
#include "console/interpreter.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "console/commandtable.h"
#include "console/networds.h"
#include "shell/console.h"
#include "system/file.h"

namespace {

// Copies the n characters at text into a word, cut to fit.
void CopyWord(char (&word)[SB_WORDSIZE], const char* text, size_t n) {
  if (n > SB_WORDSIZE - 1) n = SB_WORDSIZE - 1;
  std::memcpy(word, text, n);
  word[n] = 0;
}

}  // namespace

void SB_SplitCommandLine(const char* line, SB_COMMANDWORDS* words) {
  std::memset(words, 0, sizeof *words);
  if (!line) return;
  const char* blank = std::strchr(line, ' ');
  CopyWord(words->Keyword, line, blank ? static_cast<size_t>(blank - line) : std::strlen(line));
  if (blank) {
    const char* at = blank + 1;
    CopyWord(words->Rest, at, std::strlen(at));
    // Each argument ends at the next blank; two blanks give an empty one.
    for (int i = 0; i < 4 && at; ++i) {
      const char* end = std::strchr(at, ' ');
      CopyWord(words->Args[i], at, end ? static_cast<size_t>(end - at) : std::strlen(at));
      at = end ? end + 1 : nullptr;
    }
  }
  LS_StrUpper(words->Keyword);
  for (char* arg : words->Args) LS_StrUpper(arg);
}

int32_t SB_ExecCommand(const char* format, ...) {
  char line[SB_COMMANDLINESIZE];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format ? format : "", args);
  va_end(args);
  if (!line[0]) return 1;
  const char* text = line;
  if (line[0] == '@')
    ++text;
  else
    SB_ConsolePrintf(">%s", line);

  SB_COMMANDWORDS words;
  SB_SplitCommandLine(text, &words);
  if (const SB_COMMAND* command = SB_FindCommand(words.Keyword)) return command->Run(words);
  if (SB_NetConsoleCommand(words.Args[0], words.Args[1], words.Args[2], words.Args[3], words.Rest,
                           words.Keyword))
    return 1;
  if (words.Keyword[0]) SB_ConsolePrintf("Syntax error, or batch error !!!");
  return 0;
}

void SB_SqueezeBlanks(char* line) {
  if (!line) return;
  const auto blank = [](char c) { return static_cast<unsigned char>(c) < 33; };
  const char* in = line;
  while (*in && blank(*in)) ++in;
  char* out = line;
  bool inRun = false;
  for (; *in; ++in) {
    if (blank(*in) && inRun) continue;
    inRun = blank(*in);
    *out++ = *in;
  }
  *out = 0;
}

void SB_TrimLeft(char* line) {
  if (!line) return;
  size_t skip = 0;
  while (line[skip] == ' ' || line[skip] == '\t') ++skip;
  if (skip) std::memmove(line, line + skip, std::strlen(line + skip) + 1);
}

void SB_ReplaceBatchArg(char* line, char digit, const char* argument, size_t capacity) {
  if (!line || capacity == 0) return;
  const char marker[3] = {'%', digit, 0};
  const std::string value = argument ? argument : "";
  std::string text = line;
  // The search goes on after the inserted text, which is never replaced again.
  for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + value.size()))
    text.replace(at, 2, value);
  const size_t kept = text.size() < capacity - 1 ? text.size() : capacity - 1;
  std::memcpy(line, text.data(), kept);
  line[kept] = 0;
}

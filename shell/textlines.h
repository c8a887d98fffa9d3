// Text files cut into lines the way batches and TYPE read them.
#pragma once
#include <cstddef>
#include <cstdint>

// A word, the rest of a line, a batch line.
constexpr size_t SB_WORDSIZE = 256;

// Loads a text file whole into the default heap (release it with
// SB_Release): "File error... type DIR for directory..." when it is
// missing, "Internal error... error wile loading..." when it cannot be
// loaded, and false, whatever the file error. An empty file gives a null
// text of size 0.
bool SB_LoadTextFile(const char* path, char** text, int32_t* size);

// A carriage return and line feed, a line feed alone or a carriage return
// alone ends a line, so that files from any system read the same; every
// other byte belongs to the line, which is cut at SB_WORDSIZE - 1
// characters. The text after the last line end is the last line, so an
// empty text gives one empty line. onLine gets each line and returns false
// to stop.
template <typename F>
void SB_ForEachLine(const char* text, int32_t size, F&& onLine) {
  constexpr char kCarriageReturn = 13, kLineFeed = 10;
  char line[SB_WORDSIZE];
  size_t length = 0;
  for (int32_t i = 0; i < size; ++i) {
    if (text[i] == kCarriageReturn || text[i] == kLineFeed) {
      line[length] = 0;
      if (!onLine(static_cast<const char*>(line))) return;
      length = 0;
      if (text[i] == kCarriageReturn && i + 1 < size && text[i + 1] == kLineFeed) ++i;
      continue;
    }
    if (length < sizeof line - 1) line[length++] = text[i];
  }
  line[length] = 0;
  onLine(static_cast<const char*>(line));
}

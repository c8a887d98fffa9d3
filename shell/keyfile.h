// Keyed text files: a file is loaded whole into one of ten slots, and
// values are fetched by searching for the literal text of a key anywhere in
// it and converting the text that follows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>

constexpr int32_t SB_MAXKEYFILES = 10;
constexpr size_t SB_KEYFILENAMESIZE = 256;

struct TKEYFILE {
  char FileName[SB_KEYFILENAMESIZE];
  char* Start;     // the file's bytes and one zero byte; null for a missing file
  char* Position;  // just after the last successful search
  char* End;       // Start + file size
  int32_t InUse;
};
extern TKEYFILE SB_KeyFiles[SB_MAXKEYFILES];

// One output of a scan. "%f" stores into a double, "%l" and "%d" into a
// 32-bit integer (saturating), "%s" into a text of the given capacity (cut
// to capacity - 1 characters). An output whose type does not match its
// conversion receives nothing.
struct TKEYVALUE {
  enum class Kind { Real, Long, Text };
  TKEYVALUE(double* real) : kind(Kind::Real), out(real), capacity(0) {}
  TKEYVALUE(int32_t* number) : kind(Kind::Long), out(number), capacity(0) {}
  TKEYVALUE(char* text, size_t size) : kind(Kind::Text), out(text), capacity(size) {}
  template <size_t N>
  TKEYVALUE(char (&text)[N]) : TKEYVALUE(text, N) {}
  Kind kind;
  void* out;
  size_t capacity;
};

void SB_InitKeyFiles();
// The first free slot with the file loaded; a missing file still takes a
// slot, without a buffer. Null for a null name or when all slots are busy.
TKEYFILE* SB_OpenKeyFile(const char* name);
void SB_CloseKeyFile(TKEYFILE* slot);
// Searches the exact text from the start or from the last match; the
// position after the match, or null (the search position unchanged).
char* SB_FindInKeyFile(TKEYFILE* slot, const char* text, int32_t fromStart);
// Reads the format's conversions in order, each after its key text; the
// number of values stored. After the first value stored, every further
// search continues from the last match; a key not found stores nothing
// and uses up its output.
int32_t SB_ScanKeyFile(TKEYFILE* slot, int32_t fromStart, const char* format,
                       std::initializer_list<TKEYVALUE> values);
// Searches, from the start of the file, for the text where it begins a
// line (the file's first line or one after a line end, blanks and tabs
// before it allowed), so that a key is never found inside a longer one;
// the position after the match, or null (the search position unchanged).
char* SB_FindKeyLine(TKEYFILE* slot, const char* text);

// The background objects' list "backobc.txt" taken apart: its lines and
// the loading of one object. The console's entries are in scenery/devenv.h,
// the race's in scenery/effects.h.
#pragma once
#include <cstdint>

// A line of a text file with its terminator: longer lines are cut.
constexpr int32_t SB_TEXTLINESIZE = 256;

// Copies the characters from start up to the first CR or LF (or end), cut
// to SB_TEXTLINESIZE - 1, into line, zero-terminated; the start of the
// next line, one LF after a CR or one CR after an LF skipped; null when
// start is end.
const char* GetNextTextLine(const char* start, const char* end, char* line);
// Loads the object file and keeps it in the next record with its place
// (metres) and name, its texture pictures turned to HSV: "Loading object
// %s...", or "Error, file %s not found !!!", or with ten already
// "Can't load %s, too many objects...".
void LoadBackObc(const char* name, float x, float y, float z);

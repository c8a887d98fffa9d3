// The load's check of a map read from its file: every link of every record
// falls on a record of the array it points into, every run lies inside its
// array, and the numbers that index tables stay below their counts.
#pragma once

// Null when the loaded arrays hold together; otherwise the word of the
// first section (in file order) holding a bad record.
const char* SB_CheckDecorLinks();

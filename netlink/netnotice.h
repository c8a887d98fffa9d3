// Notices of things a peer may repeat without end (refused messages,
// acknowledgements or packets outside a window): counted, and reported on
// the console at most once a second, so that a peer cannot grow the
// console's file at its own pace.
#pragma once
#include <cstdint>

#include "net/types.h"

constexpr uint32_t NET_NOTICEMS = 1000;

// Counts one event. True when a line is due now (the first event, or the
// first a second or more after the last line): *count then holds the
// events the line reports, this one included, and counting starts again.
bool NET_CountNotice(TNETNOTICE* notice, uint32_t* count);
// True when counted events wait and a second has passed since the last
// line: *count holds them, and counting starts again.
bool NET_NoticeDue(TNETNOTICE* notice, uint32_t* count);

// Inside net/: the console list handed back to its caller, which then
// owns it; null when there is none.
#pragma once
#include "net/types.h"

NET_ENUMENTRY* NET_TakeConsoleList();

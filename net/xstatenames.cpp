// The names of the network states.
#include "net/netplayer.h"

const char* const NET_XStateNames[NET_NBXSTATENAMES] = {
    "",           "NONET",      "NETINITED", "CONNECTED", "LOADING",         "REMAPPINGCARS",
    "READY2PLAY", "WAIT4READY", "WAIT4GO",   "PLAYING",   "XSTATE_ENDOFRACE"};

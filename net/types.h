// Network states and the controller's player record, as the game's
// global record and the wire hold them, and the records of the game
// protocol's state that each machine record of netlink/ls_net.h holds.
#pragma once
#include <cstdint>

#include "vehicles/types.h"

// A player's network state.
using XSTATE = uint32_t;
constexpr XSTATE XSTATE_NONET = 1;
constexpr XSTATE XSTATE_NETINITED = 2;
constexpr XSTATE XSTATE_CONNECTED = 3;
constexpr XSTATE XSTATE_LOADING = 4;
constexpr XSTATE XSTATE_REMAPPINGCARS = 5;
constexpr XSTATE XSTATE_READY2PLAY = 6;
constexpr XSTATE XSTATE_WAIT4READY = 7;
constexpr XSTATE XSTATE_WAIT4GO = 8;
constexpr XSTATE XSTATE_PLAYING = 9;
constexpr XSTATE XSTATE_ENDOFRACE = 10;

// Players of one session, indexed by player order (which is also the
// index of the player's car).
constexpr int32_t NET_MAXPLAYERS = 32;

// The controller's record of a player, 16 bytes as on the wire.
struct CTRL_PLAYER {
  uint32_t Id;       // the session's player id
  uint8_t InUse;     // logged into the game
  uint8_t XState;    // network state
  uint8_t Group;     // racing group (MULTIRACE)
  uint8_t SubState;  // 0 undefined, 1 playing, 2 watching
  uint8_t Spare;
  uint8_t Pending;  // known to the controller, not yet logged in
  uint8_t Unused[2];
  uint32_t NameWord;  // meaningful only on the controller's machine
};
static_assert(sizeof(CTRL_PLAYER) == 16, "CTRL_PLAYER is 16 bytes on the wire");

// Sub-states of a player.
constexpr int32_t XSUBSTATE_UNDEF = 0;
constexpr int32_t XSUBSTATE_PLAYING = 1;
constexpr int32_t XSUBSTATE_WATCHING = 2;

// ---- The game message ----

// Every game message starts with this 12-byte header, little-endian: the
// type (only its low 16 bits count, as a signed value), two parameters,
// then the payload of the type.
struct XNETMSG {
  int32_t Type;
  int32_t Param1;
  int32_t Param2;
};
constexpr int32_t XNETMSG_HEADERSIZE = 12;

// Message types.
constexpr int32_t CTRL_GETGAMEINFO = 1;
constexpr int32_t CTRL_GAMEINFO = 2;
constexpr int32_t CTRL_CANILOGMYSELF = 3;
constexpr int32_t CTRL_ANSWER = 4;
constexpr int32_t CTRL_PLAYERORDER = 5;
// The order message 5 carries to a newcomer when every car place is taken.
constexpr int32_t CTRL_NOPLACE = -1;
// Why message 4 refuses a log-in (its Param2): every car place taken, or a
// race under way. (Message 5's CTRL_NOPLACE carries in Param2 the seconds
// the newcomer's machine still waits, 0 when the game is full.)
constexpr int32_t CTRL_REFUSEDFULL = 1;
constexpr int32_t CTRL_REFUSEDRACING = 2;
constexpr int32_t CTRL_SETPLAYERSTATUS = 6;
constexpr int32_t CTRL_SETGAMETYPE = 7;
constexpr int32_t CTRL_UPDATENETPLAYER = 8;
constexpr int32_t CTRL_VEHICLESETUP = 9;
constexpr int32_t CTRL_ALLVEHICLESETUP = 10;
constexpr int32_t XNET_CARSTATE = 13;
constexpr int32_t XNET_TEXT = 14;
constexpr int32_t CTRL_PRESENCEQUERY = 15;
constexpr int32_t CTRL_PRESENCEACK = 16;
constexpr int32_t XNET_RACEFINISHED = 17;
constexpr int32_t XNET_OUTOFTIME = 18;
constexpr int32_t CTRL_LAUCHNEWRACE = 19;
constexpr int32_t CTRL_STARTNEWRACENOW = 20;
constexpr int32_t CTRL_ENTERPRACTICEMODE = 21;
constexpr int32_t CTRL_ENDOFRACE = 22;
constexpr int32_t CTRL_BESTTIME = 24;
constexpr int32_t CTRL_CHANGEMAXNETPLAYER = 29;

// Payload sizes: a player record, a vehicle setup, a car state and the
// race progress of messages 17 and 18.
constexpr int32_t CTRL_PLAYERSIZE = 16;
constexpr int32_t XNET_SETUPMSGSIZE = 12 + 424;
constexpr int32_t XNET_CARSTATEMSGSIZE = 12 + 88;
constexpr int32_t XNET_PROGRESSMSGSIZE = 24;
constexpr int32_t XNET_UPDATEMSGSIZE = 12 + CTRL_PLAYERSIZE;
// The longest name carried, its zero excluded.
constexpr int32_t XNET_MAXNAME = 255;

// Game types.
constexpr int32_t CTRL_TRAINING = 0;
constexpr int32_t CTRL_FREERACE = 1;
constexpr int32_t CTRL_RACE = 2;
constexpr int32_t CTRL_MULTIRACE = 3;
constexpr int32_t CTRL_CONTROLLEDRACE = 4;
constexpr int32_t CTRL_OFFLINERACE = 5;

// A finish or a best-time record, 776 bytes as in "BestRec.TMB".
struct CTRL_RECORD {
  char Name[256];  // empty: unused
  uint32_t BestLap;
  uint32_t RaceTime;  // 10000000: no time
  char TimeOfDay[256];
  char Date[256];
};
static_assert(sizeof(CTRL_RECORD) == 776, "CTRL_RECORD is 776 bytes in the records file");
constexpr int32_t CTRL_NBRECORDS = 10;
constexpr uint32_t CTRL_NORECORD = 10000000;

// Recipients of a send: every other player, or the controller.
constexpr uint32_t NET_TOALL = 0x7FFFFFFF;
constexpr uint32_t NET_TOCONTROLLER = 0x6FFFFFFF;
// Send modes: stored and resent until acknowledged, or sent once.
constexpr int32_t NET_GUARANTEED = 1;
constexpr int32_t NET_PLAIN = 2;

// ---- The LS_Net settings record and the transport's identifiers ----

// A 16-byte identifier (application, provider, session), little-endian
// fields as Windows keeps them.
struct LS_GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
static_assert(sizeof(LS_GUID) == 16, "LS_GUID is 16 bytes");

// The LS_Net callbacks. Kinds of a system event: 1 a player arrived, 2 a
// player left.
using LS_NETSENDFAILURE = void (*)(uint32_t sequence, uint32_t recipient);
using LS_NETMESSAGE = void (*)(uint32_t sender, const void* message, uint32_t length);
using LS_NETSYSTEM = void (*)(uint32_t player, uint32_t kind);

// The LS_Net settings record: the game fills one, LS_Net keeps a copy and
// the transport writes Protocol, MaxMessageSize, LocalPlayerId,
// SessionGuid and ControllerId of that copy. A record in memory only: it
// holds pointers and never goes on the wire.
struct LS_NETCONFIG {
  uint32_t Size;
  uint32_t LocalPlayerId;  // -1 when there is none
  char PlayerName[256];
  uint32_t IsOpen;
  uint32_t MaxMessageSize;
  uint32_t MaxPlayers;
  uint32_t Protocol;  // index in the transport's provider table
  LS_GUID SessionGuid;
  uint32_t Role;          // 0x6FFFFFFF on the session's creator, 1 on a joined machine
  uint32_t ControllerId;  // the "SERVER" player
  uint32_t Reserved[8];
  const char* AppGuidText;  // null: the built-in application identifier
  LS_NETSENDFAILURE SendFailure;
  LS_NETMESSAGE ServerMessage;
  LS_NETSYSTEM ServerSystem;
  LS_NETSYSTEM PlayerSystem;
  LS_NETMESSAGE PlayerMessage;
};

// ---- The packet header in front of every LS_Net packet ----

// 5 bytes on the wire, little-endian, no padding: the mode, then the
// sequence number (unaligned), then the payload (none in an
// acknowledgement). Read and written field by field.
struct LS_NETHEADER {
  uint8_t Mode;
  uint32_t Sequence;
};
constexpr uint32_t LS_NETHEADERSIZE = 5;
constexpr uint8_t LS_NETMODE_GUARANTEED = 1;  // stored and resent until acknowledged
constexpr uint8_t LS_NETMODE_PLAIN = 2;       // sent once
constexpr uint8_t LS_NETMODE_ACK = 4;         // acknowledges a guaranteed packet
// The first sequence number a machine sends.
constexpr uint32_t LS_NETFIRSTSEQUENCE = 0x01020304;
// The largest payload LS_Net takes: the transport's buffer size.
constexpr uint32_t LS_NETMAXPAYLOAD = 1024;
constexpr uint32_t LS_NETMAXPACKET = LS_NETMAXPAYLOAD + LS_NETHEADERSIZE;

// ---- Enumerations ----

// One entry of a provider, session or player list. Id: the provider's or
// session's index in the transport's table, or the player's id; Kind: a
// player's kind (1), unset for providers and sessions.
struct NET_ENUMENTRY {
  uint32_t Id;
  uint32_t Kind;
  char Name[256];
};

// ---- The game protocol's state, one of each per machine record ----

// A game type (CTRL_TRAINING to CTRL_OFFLINERACE) and a game state of a
// CONTROLLEDRACE (CTRL_NORACE to CTRL_TRAININGMODE).
using CTRL_GAMETYPE = int32_t;
using CTRL_GAMESTATE = int32_t;

// Game states of a CONTROLLEDRACE.
constexpr int32_t CTRL_NORACE = 0;
constexpr int32_t CTRL_WAITTWO = 1;
constexpr int32_t CTRL_WAITOTHERS = 2;
constexpr int32_t CTRL_WARMUP = 3;
constexpr int32_t CTRL_INPROGRESS = 4;
constexpr int32_t CTRL_COMPLETED = 5;
constexpr int32_t CTRL_TRAININGMODE = 6;

constexpr uint32_t CTRL_NOTIME = 1000000000;

// A newcomer that has not logged in this long after its order arrived
// gives its car place back.
constexpr uint32_t CTRL_LOGINWAITMS = 15000;
// A machine whose player gave its car place back without asking to log
// in gets no car place for this long: re-creating its player at once
// would hold the place again, and keep an honest joiner out.
constexpr uint32_t CTRL_REJOINWAITMS = 30000;
// Machines remembered that way; the one whose wait ends first makes room.
constexpr int32_t CTRL_NBREJOINWAITS = 16;
// A race result may be this much shorter than the time the controller saw
// its race run (from its start to the result's arrival): the start's and
// the result's unequal delays over the network.
constexpr uint32_t CTRL_RESULTSLACKMS = 5000;
// The race file whose laps and circuit a host without a race of its own
// times results by.
constexpr const char* CTRL_RACEFILE = "TXT>NETRACE.TXT";
// Where each player stands in the host's race on the controller: not in
// it, said PLAYING at its start line before it started, seated in it, or
// seated with its result entered.
constexpr int32_t CTRL_NOTRACING = 0;
constexpr int32_t CTRL_RACING = 1;
constexpr int32_t CTRL_RESULTIN = 2;
constexpr int32_t CTRL_ATSTART = 3;

// A machine, by its address, that may take no car place until a time.
struct TCTRLREJOIN {
  uint32_t Address;  // IPv4; 0: a free row
  uint32_t Until;    // library time
};

// A notice of something a peer may repeat without end (refused messages,
// acknowledgements or packets outside a window): counted, and reported on
// the console at most once a second (netlink/netnotice.h).
struct TNETNOTICE {
  uint32_t Count;   // events not reported yet
  uint32_t LastAt;  // library time of the last line
  int32_t Printed;  // a line was printed once
};

// A member's chat taken in the current second, by sender; the surplus
// counted and reported once a second.
struct TNETCHAT {
  uint32_t Sender;    // 0: a free row
  uint32_t SecondAt;  // library time the current second began
  uint32_t Taken;     // messages taken in it
  TNETNOTICE Dropped;
};

// One machine's controller; each machine record holds one.
struct TCTRL {
  int32_t Running;
  CTRL_PLAYER Players[NET_MAXPLAYERS];
  char Names[NET_MAXPLAYERS][XNET_MAXNAME + 1];  // empty: no name
  uint32_t LastHeard[NET_MAXPLAYERS];
  CTRL_GAMETYPE GameType;  // the maximum players is SB_Var.NetControllerMax
  int32_t Logged;
  CTRL_GAMESTATE GameState;
  TVEHICLESETUP Setups[NET_MAXPLAYERS];  // Changed set: stored
  CTRL_RECORD Finishers[NET_MAXPLAYERS];
  int32_t NbFinishers;
  CTRL_RECORD Records[CTRL_NBRECORDS];
  int32_t HasRecords;
  uint32_t LastCheck;
  int32_t InCheck;
  // The player order (message 5) of each newcomer, followed from the pump
  // until delivered: pending, its send's sequence (-2 refused), when it was
  // sent and how many tries it took.
  int32_t OrderPending[NET_MAXPLAYERS];
  int32_t OrderSequence[NET_MAXPLAYERS];
  uint32_t OrderSentAt[NET_MAXPLAYERS];
  int32_t OrderTries[NET_MAXPLAYERS];
  int32_t InFollow;  // the follow-up runs, guarded against the pumps its lines make
  int32_t RecordsChanged;  // the records differ from the file
  char Text[256];
  TNETNOTICE NoPlace;  // newcomers refused for want of a car place
  // When each newcomer arrived, then when its order arrived: from then it
  // has CTRL_LOGINWAITMS to log in, or its place goes to the next joiner.
  uint32_t LoginWaitFrom[NET_MAXPLAYERS];
  // Each newcomer's machine (IPv4, 0 for the host's own players) and
  // whether it asked to log in; machines that gave a place back without
  // asking, and until when they get none.
  uint32_t Address[NET_MAXPLAYERS];
  int32_t AskedLogin[NET_MAXPLAYERS];
  TCTRLREJOIN RejoinWaits[CTRL_NBREJOINWAITS];
  // The host's race: when it started (every seated racer is timed from
  // then), whether a CONTROLLEDRACE was launched and waits for its start,
  // and where each player stands in it (CTRL_NOTRACING...).
  uint32_t RaceGoAt;
  int32_t Launched;
  int32_t RaceResult[NET_MAXPLAYERS];
  TNETNOTICE RefusedResults;  // race results refused
  TNETNOTICE RefusedStates;   // READY2PLAY and PLAYING refused
  // What the host's race file says of the game's races, read when the
  // game type is set: their laps, as the race reads them, and the
  // circuit's lap in metres (0: unknown). The race under way's laps, lap in
  // metres (0: unknown, and no result is entered) and least times: its
  // laps, and one lap, at the fastest car's top speed (ms).
  int32_t FileLaps;
  int32_t FileLapMetres;
  int32_t RaceLaps;
  int32_t RaceLapMetres;
  uint32_t RaceFloorMs;
  uint32_t LapFloorMs;
};


// What the waits poll, and what the handlers keep of the messages.
struct TNETSIDE {
  int32_t AnswerReceived;  // message 4
  XNETMSG LastAnswer;
  int32_t UpdateReceived;    // message 8
  int32_t StatusEchoed;      // message 8 about the local order
  int32_t OrderReceived;     // message 5
  int32_t GameFull;          // message 5 said there is no car place
  int32_t NoPlaceWaitS;      // ...because this machine waits that many s (0: full)
  int32_t SetupsReceived;    // message 9
  int32_t GameInfoReceived;  // message 2
  // Refusals a peer may repeat without end, reported at most once a
  // second: messages refused by each side, car states the race refused.
  TNETNOTICE RefusedRead, RefusedCtrl, RefusedCars;
  // Chat taken from each member, on the player side and the controller's.
  TNETCHAT ChatRead[NET_MAXPLAYERS], ChatCtrl[NET_MAXPLAYERS];
  int32_t EndOfRaceShown;    // the controller's end-of-race box this race
  uint32_t DriverKind;
  const char* DriverName;
};

// The local-network play service: sessions, players and messages between
// copies of the program over IPv4 sockets. A host creates a session; other
// instances find it by broadcast or a host list, join it over one TCP
// connection that carries the session's bookkeeping (players arriving and
// leaving), and exchange unguaranteed player messages as UDP datagrams.
// Several instances live in one process, so two machines can meet inside
// one test. Single-threaded: nothing moves between calls; every call
// services its own instance, and a call that waits services every
// instance of the process.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat::netplay {

struct Guid {
  uint8_t bytes[16] = {};
  bool operator==(const Guid&) const = default;
};

// Result codes.
constexpr uint32_t kOk = 0;
constexpr uint32_t kErrBufferTooSmall = 0x8877001E;  // size gets the size needed; the message stays
constexpr uint32_t kErrUserCancel = 0x887700AA;      // the enumeration was cancelled
constexpr uint32_t kErrNoMessages = 0x887700BE;      // nothing to receive
constexpr uint32_t kErrNoSession = 0x887700DC;       // the call needs a session and there is none
constexpr uint32_t kErrBusy = 0x8877010E;            // the send was not taken; try again
constexpr uint32_t kErrGeneric = 0x80004005;
constexpr uint32_t kErrInvalidParams = 0x80070057;
constexpr uint32_t kErrInvalidPlayer = 0x80700001;  // unknown player, or not one of this instance
constexpr uint32_t kErrSessionFull = 0x80700002;
constexpr uint32_t kErrNoHost = 0x80700003;  // the host cannot be reached or went away
constexpr uint32_t kErrTimeout = 0x80700004;
constexpr uint32_t kErrTooLarge = 0x80700005;
constexpr uint32_t kErrAlreadyInSession = 0x80700006;
constexpr uint32_t kErrNotFound = 0x80700007;  // a session this instance did not enumerate

// Sizes. The caps report kMaxBuffer; a packet of up to kMaxPacket bytes
// passes: a full buffer behind the 5-byte header the game's session layer
// puts in front of it, which is also what the game's receive buffer holds.
// A larger packet goes nowhere: its send answers kErrTooLarge, and a
// received one is dropped, counted and reported before anyone sees it.
constexpr uint32_t kMaxBuffer = 1024;
constexpr uint32_t kMaxPacket = kMaxBuffer + 5;
constexpr uint32_t kMaxNameLength = 255;
constexpr uint32_t kMaxPlayers = 256;
constexpr uint32_t kToAll = 0;  // a send to every player but the sender

// Player ids never given: 0 (all players), the two special targets of the
// game's sends and 0xFFFFFFFF.
constexpr uint32_t kReservedIds[] = {0, 0x6FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF};

// The one provider: the local network over TCP/IP.
extern const Guid kLocalNetworkProvider;
extern const char kLocalNetworkName[];  // "TCP/IP local network"

// Calls f(id, name, ctx) for each provider until it returns false.
using ProviderCallback = bool (*)(const Guid& id, const char* name, void* ctx);
void EnumerateProviders(ProviderCallback f, void* ctx);
// Tests may add providers that open nothing; Reset forgets them.
void AddTestProvider(const Guid& id, const char* name);
void ResetTestProviders();

struct Caps {
  uint32_t maxBufferSize = 0;
  uint32_t maxPlayers = 0;
};

struct Instance;

// A new instance over the provider, with its UDP data socket open.
// kErrInvalidParams for a provider that opens nothing, kErrGeneric when
// the socket cannot be made.
uint32_t Create(const Guid& provider, Instance** out);
// Closes the session, if any, and every socket; the instance is gone.
void Release(Instance* instance);
uint32_t GetCaps(Instance* instance, Caps* caps);

struct SessionInfo {
  Guid application;
  Guid instance;  // the session's own id
  std::string name;
  uint32_t maxPlayers = 0;
  uint32_t players = 0;
};
// Called with each session found once, then once with null (the time-out
// report); returning false stops the enumeration.
using SessionCallback = bool (*)(const SessionInfo* session, void* ctx);
// Asks the configured hosts, or 127.0.0.1 and every interface's broadcast
// address, for sessions of the application during timeoutMs (0: 500 ms).
uint32_t EnumerateSessions(Instance* instance, const Guid& application, uint32_t timeoutMs, SessionCallback f,
                           void* ctx);

// Hosts a new session; its id goes to *sessionId.
uint32_t CreateSession(Instance* instance, const Guid& application, const char* name, uint32_t maxPlayers,
                       Guid* sessionId);
// Joins a session this instance enumerated; fails within 5 s when the host
// is gone, the session full or another application's.
uint32_t JoinSession(Instance* instance, const Guid& application, const Guid& sessionId);
// Leaves or ends the session; kErrNoSession without one. A host's close
// destroys every other player for the members.
uint32_t Close(Instance* instance);

// Names of at most kMaxNameLength bytes. Ids come from the host. A
// member's player past its connection's kMaxPlayersPerMember gets
// kErrSessionFull; one with the long name kHostOnlyName kErrInvalidParams,
// and the member loses the session.
uint32_t CreatePlayer(Instance* instance, const char* shortName, const char* longName, uint32_t* id);
// Only a player of this instance.
uint32_t DestroyPlayer(Instance* instance, uint32_t id);
using PlayerCallback = bool (*)(uint32_t id, const char* shortName, const char* longName, void* ctx);
uint32_t EnumeratePlayers(Instance* instance, PlayerCallback f, void* ctx);
// True for a player of the session's host (created by the instance that
// created the session), false for a member's or an unknown id.
bool IsHostPlayer(Instance* instance, uint32_t id);
// On the host: the IPv4 address (network order) of the machine a member's
// player came from; 0 for the host's own players, an unknown id, or on a
// member.
uint32_t PlayerAddress(Instance* instance, uint32_t id);
// Headless tests: a player of the host's own stands in for one that came
// from the machine at that address (network order), as PlayerAddress says.
void SetStandInAddress(Instance* instance, uint32_t id, uint32_t ip);
// Connections a host keeps from one address, handshakes included: two
// copies of the game on one machine, and each of them once more while a
// connection it left behind is still being closed. A connection past them
// is answered that the session is full and closed.
constexpr uint32_t kMaxLinksPerAddress = 4;
// A member's connection that holds no player (none created since its
// handshake, or its last one destroyed) for this long is closed: a copy of
// the game creates its player right after joining.
constexpr uint32_t kIdleLinkMs = 10000;
// Players a member's connection may hold at once: the most one copy of the
// game creates (the controller's and its own on the machine that hosts).
constexpr uint32_t kMaxPlayersPerMember = 2;
// The long name the host gives only its own players; a member asking for
// it is a bad peer, dropped with its players.
extern const char kHostOnlyName[];  // "SERVER"
// Both names, each kMaxNameLength + 1 bytes.
uint32_t GetPlayerName(Instance* instance, uint32_t id, char* shortName, char* longName);

// Sends size bytes from a player of this instance to one player, or to
// every other player (kToAll), unguaranteed.
uint32_t Send(Instance* instance, uint32_t from, uint32_t to, const void* data, uint32_t size);

// System events.
constexpr uint32_t kSysCreatePlayer = 3;
constexpr uint32_t kSysDestroyPlayer = 5;
constexpr uint32_t kPlayerKindPlayer = 1;
struct SystemEvent {
  uint32_t type = 0;  // kSysCreatePlayer or kSysDestroyPlayer
  uint32_t playerKind = 0;
  uint32_t playerId = 0;
  char shortName[kMaxNameLength + 1] = {};
  char longName[kMaxNameLength + 1] = {};
};
// Takes the oldest message. A player message: *from its sender, *to the
// local player it is for, its bytes into buffer and *size. A system event
// (*from 0): *to the local player told, *event filled, buffer untouched.
// kErrNoMessages when there is none, kErrBufferTooSmall (with the size)
// when it does not fit.
uint32_t Receive(Instance* instance, uint32_t* from, uint32_t* to, void* buffer, uint32_t* size, SystemEvent* event);

// Services every instance until nothing is in flight between them (at most
// one second of real time).
void Settle();

// Configuration, read from the environment at first use:
// ZENTROVA_NET_PORT, the first of the eight discovery ports a host may take
// (0: an ephemeral one), and ZENTROVA_NET_HOSTS, a list of host[:port]
// entries separated by commas or spaces that enumeration asks instead of
// broadcasting. Tests set them here.
constexpr uint16_t kDefaultDiscoveryBase = 28760;
constexpr uint32_t kDiscoveryPorts = 8;
void SetDiscoveryBase(uint16_t base);
void SetHosts(const std::string& hosts);
// The connections a host keeps from one address (0: kMaxLinksPerAddress),
// for tests that play many machines from 127.0.0.1.
void SetLinksPerAddress(uint32_t links);
// Back to the environment's values.
void ResetConfig();

// The ports an instance holds (0: none): its data socket, and as a host its
// TCP listener and discovery socket.
uint16_t DataPort(Instance* instance);
uint16_t ListenPort(Instance* instance);
uint16_t DiscoveryPort(Instance* instance);

// A querying address is answered at most once in this time.
constexpr uint32_t kAnswerEveryMs = 1000;

// Faults for tests. Loss, duplication and reordering (percent, from a
// seeded generator) act on received player datagrams and same-instance
// deliveries, never on the TCP connection. ZENTROVA_NET_FAULTS
// ("loss,dup,reorder[,seed]") sets them for every instance of a program.
struct Faults {
  uint32_t lossPercent = 0;
  uint32_t duplicatePercent = 0;
  uint32_t reorderPercent = 0;
  uint32_t seed = 1;
  uint32_t busySends = 0;         // the next n sends answer kErrBusy
  uint32_t failSend = 0;          // the n-th send from now fails (kErrGeneric)
  uint32_t cancelEnumerations = 0;  // the next n enumerations answer kErrUserCancel
  std::vector<SessionInfo> injectedSessions;  // reported by every enumeration
};
void SetFaults(Instance* instance, const Faults& faults);

struct Counters {
  uint32_t lost = 0, duplicated = 0, reordered = 0;  // by the fault shim
  uint32_t busyAnswers = 0, failedSends = 0, cancelledEnumerations = 0;
  uint32_t badDatagrams = 0;     // size, magic, version or session wrong
  uint32_t unknownSenders = 0;   // not yet known, or departed
  uint32_t spoofedSenders = 0;   // a sender the source address does not own
  uint32_t notLocal = 0;         // a receiver that is no player of this instance
  uint32_t queueOverflows = 0;   // dropped because the queue was full
  uint32_t droppedLinks = 0;     // TCP connections closed for bad frames or silence
  uint32_t badDiscovery = 0;     // malformed or foreign queries and answers
  uint32_t throttledQueries = 0;  // a querier answered less than a second before
  uint32_t refusedNames = 0;     // a member's player named as only the host's are
  uint32_t refusedPlayers = 0;   // a member's connection past its players
  uint32_t notesDropped = 0;     // notices beyond kMaxNotices
  uint32_t refusedLinks = 0;     // connections past kMaxLinksPerAddress
  uint32_t idleLinks = 0;        // connections closed for holding no player
};
Counters GetCounters(Instance* instance);

// What the instance refused of a peer, in words, for the game's log: the
// oldest notice, false when none waits. Each kind of refusal is said at
// most once a second for each peer address; those between are counted and
// said in one line once the second has passed. At most kMaxNotices wait;
// further ones are counted in notesDropped.
constexpr size_t kMaxNotices = 64;
bool TakeNotice(Instance* instance, std::string* text);

}  // namespace plat::netplay

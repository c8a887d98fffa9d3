// The local-network play service's instance record and the helpers its
// parts (sockets, host, member, players, messages, discovery) share.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/netplay/netplay.h"
#include "platform/netplay/wire.h"

namespace plat::netplay {
namespace detail {

// An IPv4 address (network order) and port (host order).
struct Address {
  uint32_t ip = 0;
  uint16_t port = 0;
  bool operator==(const Address&) const = default;
};

struct Player {
  uint32_t id = 0;
  std::string shortName, longName;
  bool local = false;
  Address data;          // where its datagrams come from and go to
  uint32_t link = 0;     // on the host: the serial of the member's link (0: the host's own)
  bool hostOwned = false;  // created by the session's host
  uint32_t standInIp = 0;  // a host's own player standing in for a machine's (headless tests)
};

// A received player message or system event, waiting for Receive.
struct Message {
  uint32_t from = 0, to = 0;
  uint32_t event = 0;  // 0: a player message, else the system event's type
  uint32_t playerId = 0;
  std::string shortName, longName;
  std::vector<uint8_t> data;
};

// One TCP connection of a session: on the host one per member, on a member
// the one to its host. Frames arrive into `in` and leave from `out`.
struct Link {
  int fd = -1;
  uint32_t serial = 0;
  Address peer;
  uint16_t dataPort = 0;  // the member's data socket, from its hello
  bool joined = false;
  bool dead = false;
  bool refusalNoted = false;  // a refused player was noted for the game's log
  uint32_t openedAt = 0;  // platform clock, for the handshake's time-out
  uint32_t idleSince = 0;  // on the host: since when the joined link holds no player
  std::vector<uint8_t> in, out;
};

// A session found by enumeration: where its host listens.
struct Found {
  Guid application, instance;
  Address host;
};

enum class Role { kNone, kHost, kMember, kLost };

// The kinds of refusal said to the game's log, each at most once a second
// for each peer address.
enum class Refusal : uint8_t {
  kOversized,      // a datagram larger than the largest packet
  kMalformed,      // too short, or not our magic or version
  kOtherSession,   // another session's key
  kUnknownSender,  // a sender not (or no longer) in the session
  kSpoofedSender,  // a sender the source address does not own
  kNotLocal,       // a receiver that is no player of this instance
  kQueueFull,      // the receive queue was full
  kBadDiscovery,   // a malformed or foreign discovery query or answer
  kBadFrame,       // a connection closed for a bad frame
  kSilentLink,     // a connection closed for sending no hello
  kTooManyLinks,   // a connection past kMaxLinksPerAddress
  kIdleLink,       // a connection closed for holding no player
  kSessionFull,    // a join or a player refused for want of a place
  kCount
};

// One kind of refusal from one address: when it was last said, and how
// many came since.
struct Reported {
  Refusal kind = Refusal::kCount;
  uint32_t ip = 0;
  uint32_t saidAt = 0;
  uint32_t since = 0;
};
enum class JoinState { kIdle, kWaiting, kJoined, kFailed };

}  // namespace detail

// The record behind an instance of the service.
struct Instance {
  using Address = detail::Address;
  using Found = detail::Found;
  using JoinState = detail::JoinState;
  using Link = detail::Link;
  using Message = detail::Message;
  using Player = detail::Player;
  using Role = detail::Role;

  Guid provider;
  int dataFd = -1;
  uint16_t dataPort = 0;

  Role role = Role::kNone;
  Guid application, session;
  uint32_t sessionKey = 0;
  std::string sessionName;
  uint32_t maxPlayers = 0;
  std::vector<Player> players;  // in creation order

  // Host.
  int listenFd = -1, discoveryFd = -1;
  uint16_t listenPort = 0, discoveryPort = 0;
  uint32_t nextPlayerId = 0;
  uint32_t nextLinkSerial = 1;
  std::vector<std::unique_ptr<Link>> members;
  std::vector<std::pair<Address, uint32_t>> answered;  // queriers and when each was last answered

  // Member.
  Link host;
  Address hostData;  // the host's data socket
  JoinState join = JoinState::kIdle;
  uint32_t joinError = 0;
  uint32_t nextRequest = 1;
  uint32_t pendingRequest = 0;  // the creation waited for
  uint32_t createdId = 0;       // its answer: the id, or 0
  uint8_t refusal = 0;

  // Discovery.
  std::vector<Found> found;
  // The queries of the last enumerations: a host busy for a while reads
  // the queries queued meanwhile in order and answers the oldest, which
  // may belong to an enumeration already ended.
  struct Asked {
    uint32_t nonce = 0;
    Guid application;
  };
  std::deque<Asked> asked;  // the newest last
  std::vector<std::pair<SessionInfo, Address>> heard;  // answers of the enumeration under way
  // Answers heard in the last second: a host answers an address at most
  // once a second, so an enumeration right after another reports these.
  struct Recent {
    SessionInfo session;
    Address host;
    uint32_t at = 0;
  };
  std::vector<Recent> recent;
  bool enumerating = false;

  std::deque<Message> queue;
  uint32_t receivesUnserviced = 0;  // receives served from the queue since the sockets were read
  std::deque<std::string> notices;
  std::vector<detail::Reported> reported;  // at most detail::kMaxReported
  std::optional<Message> held;  // a message the reorder fault holds back

  Faults faults;
  uint64_t rng = 0;
  uint32_t sendsCounted = 0;
  Counters counters;
};

namespace detail {

// The queue's bound: further player messages are dropped and counted.
constexpr size_t kMaxQueue = 4096;
// The bound of a link's unsent bytes; beyond it the link is dropped.
constexpr size_t kMaxLinkOut = 1 << 20;
// Links a host keeps, handshakes included.
constexpr size_t kMaxLinks = 128;
constexpr uint32_t kHandshakeMs = 5000;
constexpr uint32_t kJoinMs = 5000;

// Every instance of the process.
std::vector<Instance*>& Instances();

// Sockets (sockets.cpp).
int OpenUdp(uint16_t port, bool broadcast);  // bound to any address; -1 on failure
int OpenListener(uint16_t* port);
int ConnectTcp(const Address& to);  // non-blocking; -1 on failure
void SetKeepAlive(int fd);
uint16_t BoundPort(int fd);
void CloseFd(int& fd);
bool SendTo(int fd, const Address& to, const std::vector<uint8_t>& bytes);
// One datagram into buf; false when none is waiting.
bool ReceiveFrom(int fd, uint8_t* buf, size_t cap, size_t* n, Address* from);
// Reads from the link's socket while fewer than one whole frame is held:
// 1 bytes came, 0 none now, -1 the connection ended or failed.
int FillLink(Link& link);
// Takes the next whole frame's body from link.in; 1 taken, 0 none yet,
// -1 a bad length.
int TakeFrame(Link& link, std::vector<uint8_t>* body);
void QueueFrame(Link& link, const wire::Frame& f);
// Writes what the link can take now; false when the connection failed.
bool FlushLink(Link& link);
void CloseLink(Link& link);
// The interfaces' IPv4 broadcast addresses.
std::vector<uint32_t> BroadcastAddresses();
uint32_t Loopback();
// Waits up to ms of real time for any instance's socket to be readable;
// true when one is.
bool PollAll(int ms);

// Configuration (config.cpp).
uint16_t DiscoveryBase();
// The configured hosts: each address with its port, or port 0 for the
// whole discovery range.
std::vector<Address> ConfiguredHosts();
Faults EnvironmentFaults();
uint32_t LinksPerAddress();

// The service loop (instance.cpp).
void Service(Instance& in);
void ServiceAll();
// The platform clock, and one step of a wait begun at start: false once
// ms have passed, else a short real wait on every instance's sockets.
uint32_t Now();
bool WaitStep(uint32_t start, uint32_t ms);
uint32_t Random(Instance& in);
bool Roll(Instance& in, uint32_t percent);

// Players (players.cpp).
Player* FindPlayer(Instance& in, uint32_t id);
// Adds a player and tells every other local player.
void AddPlayer(Instance& in, const Player& p);
// Removes a player and tells every local player left.
void RemovePlayer(Instance& in, uint32_t id);
void ClearSession(Instance& in);
bool ValidName(const char* name);
// Keeps a notice for the game's log.
void Note(Instance& in, std::string text);
// A refusal of a peer's input: its text noted when none of its kind from
// that address was in the last second, else counted for the line that
// says the count once the second has passed.
constexpr size_t kMaxReported = 64;
void Report(Instance& in, Refusal kind, uint32_t ip, const std::string& text);
// Says the counts whose second has passed (the service loop calls it).
void SayCounts(Instance& in);
// An address as "a.b.c.d:port".
std::string AddressText(const Address& a);

// Host (host.cpp).
void ServiceHost(Instance& in);
uint32_t HostCreatePlayer(Instance& in, const std::string& shortName, const std::string& longName, uint32_t* id);
void HostDestroyPlayer(Instance& in, uint32_t id);
void HostClose(Instance& in);
uint32_t AdvancePlayerId(uint32_t id);
// The key every datagram of the session carries: its id's first word.
uint32_t SessionKey(const Guid& session);

// Member (member.cpp).
void ServiceMember(Instance& in);
uint32_t MemberCreatePlayer(Instance& in, const std::string& shortName, const std::string& longName, uint32_t* id);
void MemberDestroyPlayer(Instance& in, uint32_t id);
void MemberClose(Instance& in);

// Messages (messages.cpp).
void ServiceData(Instance& in);
void Deliver(Instance& in, Message&& m);
void ReleaseHeld(Instance& in);

// Discovery (discovery.cpp).
void TakeAnswer(Instance& in, const uint8_t* p, size_t n, const Address& from);
void ServiceDiscovery(Instance& in);

// Services every instance until done() or ms of the platform clock pass.
template <typename F>
bool WaitFor(F done, uint32_t ms) {
  const uint32_t start = Now();
  for (;;) {
    ServiceAll();
    if (done()) return true;
    if (!WaitStep(start, ms)) return done();
  }
}

}  // namespace detail
}  // namespace plat::netplay

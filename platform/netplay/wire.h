// The local-network play service's wire: discovery datagrams, player
// datagrams and the TCP frames of a session's bookkeeping. Little-endian
// fields written and read one by one; every read is checked against the
// record's end.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/netplay/netplay.h"

namespace plat::netplay::wire {

constexpr uint32_t kMagic = 0x54454E5A;  // "ZNET"
constexpr uint8_t kVersion = 1;

// Datagram kinds.
constexpr uint8_t kQuery = 1;
constexpr uint8_t kAnswer = 2;
constexpr uint8_t kData = 3;

constexpr size_t kQuerySize = 26;
constexpr size_t kDataHeaderSize = 18;
constexpr size_t kMaxDatagram = kDataHeaderSize + kMaxPacket;
// A TCP frame: u32 length of what follows (1 to kMaxFrame), u8 tag, body.
constexpr size_t kMaxFrame = 4096;

// Appends little-endian fields.
class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
  void U8(uint8_t v) { out_.push_back(v); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void Bytes(const void* p, size_t n);
  void Id(const Guid& g) { Bytes(g.bytes, sizeof g.bytes); }
  void Name(const std::string& s);  // u16 length, then the bytes

 private:
  std::vector<uint8_t>& out_;
};

// Reads fields; a read past the end (or a name too long) fails the reader
// and yields zeros from then on.
class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  void Id(Guid* g);
  void Name(std::string* s);  // at most kMaxNameLength bytes, no zero byte
  const uint8_t* Rest(size_t* n);
  bool ok() const { return ok_; }
  // Every byte read and nothing wrong.
  bool Done() const { return ok_ && pos_ == n_; }

 private:
  bool Take(size_t n);
  const uint8_t* p_;
  size_t n_, pos_ = 0;
  bool ok_ = true;
};

// Discovery: a query asks for sessions of an application; the answer names
// one session and the TCP port to join it on.
struct Query {
  Guid application;
  uint32_t nonce = 0;
};
struct Answer {
  uint32_t nonce = 0;
  Guid application, instance;
  uint16_t tcpPort = 0;
  uint32_t maxPlayers = 0, players = 0;
  std::string name;
};
std::vector<uint8_t> EncodeQuery(const Query& q);
bool DecodeQuery(const uint8_t* p, size_t n, Query* q);
std::vector<uint8_t> EncodeAnswer(const Answer& a);
bool DecodeAnswer(const uint8_t* p, size_t n, Answer* a);
// The kind of a datagram carrying our magic and version, else 0.
uint8_t DatagramKind(const uint8_t* p, size_t n);

// A player datagram's header; the payload follows it.
struct DataHeader {
  uint32_t session = 0;  // the session's key
  uint32_t from = 0, to = 0;
};
void EncodeData(const DataHeader& h, const void* payload, size_t n, std::vector<uint8_t>* out);
bool DecodeData(const uint8_t* p, size_t n, DataHeader* h, const uint8_t** payload, size_t* payloadSize);

// TCP frame tags: member to host, then host to member.
enum Tag : uint8_t {
  kHello = 1,          // application, session, the member's data port
  kCreatePlayer = 2,   // request, short name, long name
  kDestroyPlayer = 3,  // id
  kWelcome = 16,       // session name, max players, the host's data port
  kRefuse = 17,        // reason
  kReady = 18,         // the player list is complete
  kPlayerAdded = 19,   // request (0 unless answering one), id, owner address, names
  kPlayerRefused = 20, // request, reason
  kPlayerRemoved = 21, // id
};
// Refusal reasons.
constexpr uint8_t kReasonFull = 1;
constexpr uint8_t kReasonWrongSession = 2;
constexpr uint8_t kReasonForbiddenName = 3;  // a long name only the host's players bear
constexpr uint8_t kReasonTooManyPlayers = 4;  // the connection holds its most players

// Every frame's fields; each tag uses some of them.
struct Frame {
  uint8_t tag = 0;
  Guid application, instance;
  uint16_t port = 0;
  uint32_t request = 0, id = 0, maxPlayers = 0;
  uint8_t ip[4] = {};  // IPv4 in network order; 0.0.0.0 is the host
  uint8_t reason = 0;
  std::string name, shortName, longName;
};
// The frame with its length word.
std::vector<uint8_t> EncodeFrame(const Frame& f);
// Reads the body behind the length word (tag first); false for an unknown
// tag, a field past the end, bytes left over or a bad name.
bool DecodeFrame(const uint8_t* p, size_t n, Frame* f);

}  // namespace plat::netplay::wire

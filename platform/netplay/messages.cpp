// Player messages of a local-network session: sending (a datagram to each
// remote receiver, a direct delivery to each local one), the checks every
// received datagram passes, the fault shim, and the receive queue.
#include <algorithm>
#include <cstring>

#include "platform/netplay/state.h"

namespace plat::netplay {

using namespace detail;

namespace {

bool InSession(const Instance& in) {
  return in.role == Role::kHost || in.role == Role::kMember || in.role == Role::kLost;
}

// The send faults: busy answers first, then the counted failure.
uint32_t SendFault(Instance& in) {
  if (in.faults.busySends > 0) {
    --in.faults.busySends;
    ++in.counters.busyAnswers;
    return kErrBusy;
  }
  ++in.sendsCounted;
  if (in.faults.failSend != 0 && in.sendsCounted == in.faults.failSend) {
    in.faults.failSend = 0;
    ++in.counters.failedSends;
    return kErrGeneric;
  }
  return kOk;
}

}  // namespace

uint32_t Send(Instance* in, uint32_t from, uint32_t to, const void* data, uint32_t size) {
  if (!in || (!data && size)) return kErrInvalidParams;
  // No servicing of the session here: the player list a send goes by is
  // the one the last receive or wait brought up to date.
  if (!InSession(*in)) return kErrNoSession;
  if (size > kMaxPacket) return kErrTooLarge;
  const Player* sender = FindPlayer(*in, from);
  if (!sender || !sender->local) return kErrInvalidPlayer;
  if (to != kToAll && !FindPlayer(*in, to)) return kErrInvalidPlayer;
  if (const uint32_t fault = SendFault(*in)) return fault;
  // A delivery to a player of this instance joins its queue now: what has
  // arrived from elsewhere is taken in first, to keep the order of arrival.
  const bool toLocal = std::any_of(in->players.begin(), in->players.end(), [&](const Player& p) {
    return p.local && p.id != from && (to == kToAll || p.id == to);
  });
  if (toLocal) ServiceData(*in);
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::vector<uint8_t> datagram;
  // A copy: a local delivery may not change the list, but stays safe if it did.
  const std::vector<Player> players = in->players;
  for (const Player& p : players) {
    if (p.id == from || (to != kToAll && p.id != to)) continue;
    if (p.local) {
      Message m;
      m.from = from;
      m.to = p.id;
      m.data.assign(bytes, bytes + size);
      Deliver(*in, std::move(m));
      continue;
    }
    wire::EncodeData({in->sessionKey, from, p.id}, bytes, size, &datagram);
    SendTo(in->dataFd, p.data, datagram);  // unguaranteed: a full socket loses it
  }
  return kOk;
}

uint32_t Receive(Instance* in, uint32_t* from, uint32_t* to, void* buffer, uint32_t* size, SystemEvent* event) {
  if (!in || !from || !to || !size) return kErrInvalidParams;
  // The sockets are read when the queue runs dry, and every so many
  // receives besides, so that a queue kept full still lets the session's
  // connections be served.
  constexpr uint32_t kServiceEvery = 64;
  if (in->queue.empty() || ++in->receivesUnserviced >= kServiceEvery) {
    in->receivesUnserviced = 0;
    Service(*in);
  }
  if (in->queue.empty()) ReleaseHeld(*in);
  if (in->queue.empty()) return kErrNoMessages;
  Message& m = in->queue.front();
  if (m.event == 0 && m.data.size() > *size) {
    *size = static_cast<uint32_t>(m.data.size());
    return kErrBufferTooSmall;
  }
  *to = m.to;
  if (m.event != 0) {
    *from = 0;
    if (event) {
      *event = SystemEvent{};
      event->type = m.event;
      event->playerKind = kPlayerKindPlayer;
      event->playerId = m.playerId;
      std::strncpy(event->shortName, m.shortName.c_str(), kMaxNameLength);
      std::strncpy(event->longName, m.longName.c_str(), kMaxNameLength);
    }
  } else {
    *from = m.from;
    if (!m.data.empty()) std::memcpy(buffer, m.data.data(), m.data.size());
    *size = static_cast<uint32_t>(m.data.size());
  }
  in->queue.pop_front();
  return kOk;
}

namespace detail {

namespace {

void Push(Instance& in, Message&& m) {
  if (in.queue.size() >= kMaxQueue) {
    ++in.counters.queueOverflows;
    return;
  }
  in.queue.push_back(std::move(m));
}

std::string From(const Address& source) { return " from " + AddressText(source); }

void TakeData(Instance& in, const uint8_t* p, size_t n, const Address& source) {
  wire::DataHeader h;
  const uint8_t* payload = nullptr;
  size_t size = 0;
  if (!wire::DecodeData(p, n, &h, &payload, &size)) {
    ++in.counters.badDatagrams;
    return Report(in, Refusal::kMalformed, source.ip,
                  "malformed datagram of " + std::to_string(n) + " bytes" + From(source) + " refused");
  }
  if (in.role == Role::kNone || h.session != in.sessionKey) {
    ++in.counters.badDatagrams;
    return Report(in, Refusal::kOtherSession, source.ip, "datagram of another session" + From(source) + " refused");
  }
  const Player* sender = FindPlayer(in, h.from);
  if (!sender) {
    ++in.counters.unknownSenders;
    return Report(in, Refusal::kUnknownSender, source.ip,
                  "datagram from unknown player " + std::to_string(h.from) + From(source) + " refused");
  }
  if (sender->local || !(sender->data == source)) {
    ++in.counters.spoofedSenders;
    return Report(in, Refusal::kSpoofedSender, source.ip,
                  "datagram from player " + std::to_string(h.from) + From(source) +
                      ", an address that does not own it, refused");
  }
  const Player* receiver = FindPlayer(in, h.to);
  if (!receiver || !receiver->local) {
    ++in.counters.notLocal;
    return Report(in, Refusal::kNotLocal, source.ip,
                  "datagram for player " + std::to_string(h.to) + ", who is not here," + From(source) + " refused");
  }
  if (in.queue.size() >= kMaxQueue)
    Report(in, Refusal::kQueueFull, source.ip, "receive queue full: datagram" + From(source) + " dropped");
  Message m;
  m.from = h.from;
  m.to = h.to;
  m.data.assign(payload, payload + size);
  Deliver(in, std::move(m));
}

}  // namespace

void ServiceData(Instance& in) {
  // Bounded per call: a flood waits in the socket, whose own buffer bounds it.
  uint8_t buf[wire::kMaxDatagram + 1];
  for (int i = 0; i < 1024; ++i) {
    size_t n = 0;
    Address from;
    if (!ReceiveFrom(in.dataFd, buf, sizeof buf, &n, &from)) return;
    const size_t held = std::min(n, sizeof buf);
    const uint8_t kind = wire::DatagramKind(buf, held);
    if (n > wire::kMaxDatagram) {
      // Refused here, before anything reads it: a packet larger than the
      // largest one would not fit the game's receive buffer.
      ++in.counters.badDatagrams;
      Report(in, Refusal::kOversized, from.ip,
             "datagram of " + std::to_string(n) + " bytes" + From(from) + " refused: a packet holds at most " +
                 std::to_string(kMaxPacket) + " bytes");
    } else if (kind == wire::kAnswer) {
      TakeAnswer(in, buf, n, from);
    } else if (kind == wire::kData) {
      TakeData(in, buf, n, from);
    } else {
      ++in.counters.badDatagrams;
      Report(in, Refusal::kMalformed, from.ip,
             "malformed datagram of " + std::to_string(n) + " bytes" + From(from) + " refused");
    }
  }
}

void Deliver(Instance& in, Message&& m) {
  const Faults& f = in.faults;
  if (Roll(in, f.lossPercent)) {
    ++in.counters.lost;
    return;
  }
  if (!in.held && Roll(in, f.reorderPercent)) {
    ++in.counters.reordered;
    in.held = std::move(m);  // goes out behind the next message
    return;
  }
  if (Roll(in, f.duplicatePercent)) {
    ++in.counters.duplicated;
    Message copy = m;
    Push(in, std::move(copy));
  }
  Push(in, std::move(m));
  ReleaseHeld(in);
}

void ReleaseHeld(Instance& in) {
  if (!in.held) return;
  Push(in, std::move(*in.held));
  in.held.reset();
}

}  // namespace detail
}  // namespace plat::netplay

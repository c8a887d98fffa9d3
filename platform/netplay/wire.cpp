// Encoding and decoding of the local-network play service's datagrams and
// TCP frames.
#include "platform/netplay/wire.h"

#include <cstring>

namespace plat::netplay::wire {

void Writer::U16(uint16_t v) {
  U8(static_cast<uint8_t>(v));
  U8(static_cast<uint8_t>(v >> 8));
}

void Writer::U32(uint32_t v) {
  U16(static_cast<uint16_t>(v));
  U16(static_cast<uint16_t>(v >> 16));
}

void Writer::Bytes(const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  out_.insert(out_.end(), b, b + n);
}

void Writer::Name(const std::string& s) {
  U16(static_cast<uint16_t>(s.size()));
  Bytes(s.data(), s.size());
}

bool Reader::Take(size_t n) {
  if (!ok_ || n > n_ - pos_) {
    ok_ = false;
    return false;
  }
  return true;
}

uint8_t Reader::U8() {
  if (!Take(1)) return 0;
  return p_[pos_++];
}

uint16_t Reader::U16() {
  const uint16_t lo = U8();
  return static_cast<uint16_t>(lo | (U8() << 8));
}

uint32_t Reader::U32() {
  const uint32_t lo = U16();
  return lo | (static_cast<uint32_t>(U16()) << 16);
}

void Reader::Id(Guid* g) {
  *g = Guid{};
  if (!Take(sizeof g->bytes)) return;
  std::memcpy(g->bytes, p_ + pos_, sizeof g->bytes);
  pos_ += sizeof g->bytes;
}

void Reader::Name(std::string* s) {
  s->clear();
  const uint16_t n = U16();
  if (n > kMaxNameLength) ok_ = false;
  if (!Take(n)) return;
  const auto* b = reinterpret_cast<const char*>(p_ + pos_);
  if (std::memchr(b, 0, n)) {
    ok_ = false;
    return;
  }
  s->assign(b, n);
  pos_ += n;
}

const uint8_t* Reader::Rest(size_t* n) {
  *n = ok_ ? n_ - pos_ : 0;
  const uint8_t* rest = ok_ ? p_ + pos_ : nullptr;
  if (ok_) pos_ = n_;
  return rest;
}

namespace {

void Start(Writer& w, uint8_t kind) {
  w.U32(kMagic);
  w.U8(kVersion);
  w.U8(kind);
}

// Reads the magic, version and kind; true when they are ours.
bool Expect(Reader& r, uint8_t kind) {
  const uint32_t magic = r.U32();
  const uint8_t version = r.U8();
  return r.U8() == kind && magic == kMagic && version == kVersion && r.ok();
}

}  // namespace

std::vector<uint8_t> EncodeQuery(const Query& q) {
  std::vector<uint8_t> out;
  Writer w(out);
  Start(w, kQuery);
  w.Id(q.application);
  w.U32(q.nonce);
  return out;
}

bool DecodeQuery(const uint8_t* p, size_t n, Query* q) {
  Reader r(p, n);
  if (!Expect(r, kQuery)) return false;
  r.Id(&q->application);
  q->nonce = r.U32();
  return r.Done();
}

std::vector<uint8_t> EncodeAnswer(const Answer& a) {
  std::vector<uint8_t> out;
  Writer w(out);
  Start(w, kAnswer);
  w.U32(a.nonce);
  w.Id(a.application);
  w.Id(a.instance);
  w.U16(a.tcpPort);
  w.U32(a.maxPlayers);
  w.U32(a.players);
  w.Name(a.name);
  return out;
}

bool DecodeAnswer(const uint8_t* p, size_t n, Answer* a) {
  Reader r(p, n);
  if (!Expect(r, kAnswer)) return false;
  a->nonce = r.U32();
  r.Id(&a->application);
  r.Id(&a->instance);
  a->tcpPort = r.U16();
  a->maxPlayers = r.U32();
  a->players = r.U32();
  r.Name(&a->name);
  return r.Done() && a->tcpPort != 0;
}

uint8_t DatagramKind(const uint8_t* p, size_t n) {
  Reader r(p, n);
  const uint32_t magic = r.U32();
  const uint8_t version = r.U8();
  const uint8_t kind = r.U8();
  return r.ok() && magic == kMagic && version == kVersion ? kind : 0;
}

void EncodeData(const DataHeader& h, const void* payload, size_t n, std::vector<uint8_t>* out) {
  out->clear();
  Writer w(*out);
  Start(w, kData);
  w.U32(h.session);
  w.U32(h.from);
  w.U32(h.to);
  w.Bytes(payload, n);
}

bool DecodeData(const uint8_t* p, size_t n, DataHeader* h, const uint8_t** payload, size_t* payloadSize) {
  if (n > kMaxDatagram) return false;
  Reader r(p, n);
  if (!Expect(r, kData)) return false;
  h->session = r.U32();
  h->from = r.U32();
  h->to = r.U32();
  *payload = r.Rest(payloadSize);
  return r.ok();
}

std::vector<uint8_t> EncodeFrame(const Frame& f) {
  std::vector<uint8_t> out;
  Writer w(out);
  w.U32(0);  // the length, filled in below
  w.U8(f.tag);
  switch (f.tag) {
    case kHello:
      w.U32(kMagic);
      w.U8(kVersion);
      w.Id(f.application);
      w.Id(f.instance);
      w.U16(f.port);
      break;
    case kCreatePlayer:
      w.U32(f.request);
      w.Name(f.shortName);
      w.Name(f.longName);
      break;
    case kDestroyPlayer:
    case kPlayerRemoved:
      w.U32(f.id);
      break;
    case kWelcome:
      w.Name(f.name);
      w.U32(f.maxPlayers);
      w.U16(f.port);
      break;
    case kRefuse:
      w.U8(f.reason);
      break;
    case kReady:
      break;
    case kPlayerAdded:
      w.U32(f.request);
      w.U32(f.id);
      w.Bytes(f.ip, sizeof f.ip);
      w.U16(f.port);
      w.Name(f.shortName);
      w.Name(f.longName);
      break;
    case kPlayerRefused:
      w.U32(f.request);
      w.U8(f.reason);
      break;
    default:
      break;
  }
  const uint32_t length = static_cast<uint32_t>(out.size() - 4);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(length >> (8 * i));
  return out;
}

bool DecodeFrame(const uint8_t* p, size_t n, Frame* f) {
  *f = Frame{};
  Reader r(p, n);
  f->tag = r.U8();
  switch (f->tag) {
    case kHello: {
      const uint32_t magic = r.U32();
      const uint8_t version = r.U8();
      if (magic != kMagic || version != kVersion) return false;
      r.Id(&f->application);
      r.Id(&f->instance);
      f->port = r.U16();
      return r.Done() && f->port != 0;
    }
    case kCreatePlayer:
      f->request = r.U32();
      r.Name(&f->shortName);
      r.Name(&f->longName);
      return r.Done();
    case kDestroyPlayer:
    case kPlayerRemoved:
      f->id = r.U32();
      return r.Done();
    case kWelcome:
      r.Name(&f->name);
      f->maxPlayers = r.U32();
      f->port = r.U16();
      return r.Done() && f->port != 0;
    case kRefuse:
      f->reason = r.U8();
      return r.Done();
    case kReady:
      return r.Done();
    case kPlayerAdded:
      f->request = r.U32();
      f->id = r.U32();
      for (uint8_t& b : f->ip) b = r.U8();
      f->port = r.U16();
      r.Name(&f->shortName);
      r.Name(&f->longName);
      return r.Done();
    case kPlayerRefused:
      f->request = r.U32();
      f->reason = r.U8();
      return r.Done();
    default:
      return false;
  }
}

}  // namespace plat::netplay::wire

// The local-network play service's wire: every datagram and frame kind as
// bytes, built and read back.
#include <gtest/gtest.h>

#include <vector>

#include "platform/netplay/wire.h"
#include "tests/netplay/netplay_fixture.h"

namespace {

namespace np = plat::netplay;
namespace wire = plat::netplay::wire;
using Bytes = std::vector<uint8_t>;

Bytes Seq(uint8_t first) {
  Bytes b;
  for (int i = 0; i < 16; ++i) b.push_back(static_cast<uint8_t>(first + i));
  return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

const Bytes kHead = {0x5A, 0x4E, 0x45, 0x54, 0x01};  // magic "ZNET", version 1

TEST(NetplayWire, DiscoveryQueryAndAnswer) {
  wire::Query q;
  q.application = ztest::MakeGuid(0x00);
  q.nonce = 0x11223344;
  const Bytes query = Cat({kHead, {0x01}, Seq(0x00), {0x44, 0x33, 0x22, 0x11}});
  EXPECT_EQ(wire::EncodeQuery(q), query);
  EXPECT_EQ(query.size(), wire::kQuerySize);
  wire::Query back;
  ASSERT_TRUE(wire::DecodeQuery(query.data(), query.size(), &back));
  EXPECT_EQ(back.application, q.application);
  EXPECT_EQ(back.nonce, q.nonce);

  wire::Answer a;
  a.nonce = 0x11223344;
  a.application = ztest::MakeGuid(0x00);
  a.instance = ztest::MakeGuid(0x10);
  a.tcpPort = 0x1234;
  a.maxPlayers = 32;
  a.players = 3;
  a.name = "Ab";
  const Bytes answer = Cat({kHead,
                            {0x02, 0x44, 0x33, 0x22, 0x11},
                            Seq(0x00),
                            Seq(0x10),
                            {0x34, 0x12, 32, 0, 0, 0, 3, 0, 0, 0, 2, 0, 'A', 'b'}});
  EXPECT_EQ(wire::EncodeAnswer(a), answer);
  wire::Answer got;
  ASSERT_TRUE(wire::DecodeAnswer(answer.data(), answer.size(), &got));
  EXPECT_EQ(wire::EncodeAnswer(got), answer);
}

TEST(NetplayWire, DatagramHeader) {
  const Bytes datagram = Cat({kHead, {0x03, 0xD4, 0xC3, 0xB2, 0xA1, 4, 3, 2, 1, 0x0D, 0x0C, 0x0B, 0x0A, 'h', 'i'}});
  Bytes built;
  wire::EncodeData({0xA1B2C3D4, 0x01020304, 0x0A0B0C0D}, "hi", 2, &built);
  EXPECT_EQ(built, datagram);
  EXPECT_EQ(datagram.size(), wire::kDataHeaderSize + 2);
  wire::DataHeader h;
  const uint8_t* payload = nullptr;
  size_t n = 0;
  ASSERT_TRUE(wire::DecodeData(datagram.data(), datagram.size(), &h, &payload, &n));
  EXPECT_EQ(h.session, 0xA1B2C3D4u);
  EXPECT_EQ(h.from, 0x01020304u);
  EXPECT_EQ(h.to, 0x0A0B0C0Du);
  ASSERT_EQ(n, 2u);
  EXPECT_EQ(payload[0], 'h');
}

struct FrameRow {
  const char* kind;
  wire::Frame frame;
  Bytes bytes;
};

std::vector<FrameRow> FrameRows() {
  std::vector<FrameRow> rows;
  wire::Frame f;
  f.tag = wire::kHello;
  f.application = ztest::MakeGuid(0x00);
  f.instance = ztest::MakeGuid(0x10);
  f.port = 0x5678;
  rows.push_back({"hello", f, Cat({{40, 0, 0, 0, 0x01}, {0x5A, 0x4E, 0x45, 0x54, 0x01}, Seq(0x00), Seq(0x10), {0x78, 0x56}})});
  f = {};
  f.tag = wire::kCreatePlayer;
  f.request = 7;
  f.shortName = "Al";
  f.longName = "CLIENT";
  rows.push_back({"create", f, {17, 0, 0, 0, 0x02, 7, 0, 0, 0, 2, 0, 'A', 'l', 6, 0, 'C', 'L', 'I', 'E', 'N', 'T'}});
  f = {};
  f.tag = wire::kDestroyPlayer;
  f.id = 0x01020304;
  rows.push_back({"destroy", f, {5, 0, 0, 0, 0x03, 4, 3, 2, 1}});
  f = {};
  f.tag = wire::kWelcome;
  f.name = "S";
  f.maxPlayers = 8;
  f.port = 0x1F90;
  rows.push_back({"welcome", f, {10, 0, 0, 0, 0x10, 1, 0, 'S', 8, 0, 0, 0, 0x90, 0x1F}});
  f = {};
  f.tag = wire::kRefuse;
  f.reason = wire::kReasonFull;
  rows.push_back({"refuse", f, {2, 0, 0, 0, 0x11, 1}});
  f = {};
  f.tag = wire::kReady;
  rows.push_back({"ready", f, {1, 0, 0, 0, 0x12}});
  f = {};
  f.tag = wire::kPlayerAdded;
  f.id = 0x105;
  f.ip[0] = 127;
  f.ip[3] = 1;
  f.port = 0x3039;
  f.shortName = "B";
  f.longName = "SERVER";
  rows.push_back({"added", f, {26, 0, 0, 0, 0x13, 0, 0, 0, 0, 5, 1, 0, 0, 127, 0, 0, 1, 0x39, 0x30, 1, 0, 'B',
                               6, 0, 'S', 'E', 'R', 'V', 'E', 'R'}});
  f = {};
  f.tag = wire::kPlayerRefused;
  f.request = 9;
  f.reason = wire::kReasonFull;
  rows.push_back({"refused", f, {6, 0, 0, 0, 0x14, 9, 0, 0, 0, 1}});
  f = {};
  f.tag = wire::kPlayerRemoved;
  f.id = 5;
  rows.push_back({"removed", f, {5, 0, 0, 0, 0x15, 5, 0, 0, 0}});
  return rows;
}

TEST(NetplayWire, EveryFrameKind) {
  for (const FrameRow& row : FrameRows()) {
    SCOPED_TRACE(row.kind);
    EXPECT_EQ(wire::EncodeFrame(row.frame), row.bytes);
    wire::Frame back;
    ASSERT_TRUE(wire::DecodeFrame(row.bytes.data() + 4, row.bytes.size() - 4, &back));
    EXPECT_EQ(wire::EncodeFrame(back), row.bytes);
    // Cut anywhere, the body is refused.
    for (size_t cut = 4; cut < row.bytes.size(); ++cut)
      EXPECT_FALSE(wire::DecodeFrame(row.bytes.data() + 4, cut - 4, &back)) << cut;
  }
}

}  // namespace

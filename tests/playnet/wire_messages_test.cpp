#include "playnet/wire_messages.h"

#include <gtest/gtest.h>

#include "playnet/frame.h"
#include "playnet/system_messages.h"

using namespace playnet;

namespace {

// Splits an encoded frame into its type and body, checking the length prefix.
std::pair<FrameType, std::vector<uint8_t>> split(const std::vector<uint8_t>& frame) {
    EXPECT_GE(frame.size(), 5u);
    ByteReader r(frame.data(), frame.size());
    EXPECT_EQ(r.u32(), frame.size() - 4);
    return {static_cast<FrameType>(frame[4]), std::vector<uint8_t>(frame.begin() + 5, frame.end())};
}

SessionDesc sampleSession() {
    SessionDesc d;
    d.name = "Hall of Tests";
    d.application = *Guid::Parse("{11111111-2222-3333-4444-555555555555}");
    d.instance = *Guid::Parse("{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");
    d.maxPlayers = 50;
    d.currentPlayers = 5;
    d.user = {10, 2, 3, 4};
    d.passwordRequired = true;
    return d;
}

void expectSame(const SessionDesc& a, const SessionDesc& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.application, b.application);
    EXPECT_EQ(a.instance, b.instance);
    EXPECT_EQ(a.maxPlayers, b.maxPlayers);
    EXPECT_EQ(a.currentPlayers, b.currentPlayers);
    EXPECT_EQ(a.user, b.user);
    EXPECT_EQ(a.passwordRequired, b.passwordRequired);
}

// Every strict prefix of a body must fail to decode (never read past what was received).
template <typename Decode>
void expectPrefixesFail(const std::vector<uint8_t>& body, Decode decode) {
    for (size_t n = 0; n < body.size(); ++n) {
        std::vector<uint8_t> cut(body.begin(), body.begin() + n);
        EXPECT_FALSE(decode(Body(cut))) << "prefix " << n;
    }
}

}  // namespace

TEST(WireMessages, HelloCarriesMagicAndVersion) {
    auto [type, body] = split(HelloFrame{}.Encode());
    EXPECT_EQ(type, FrameType::Hello);
    EXPECT_EQ(body, (std::vector<uint8_t>{'P', 'N', 'E', 'T', 1, 0, 0, 0}));
    EXPECT_EQ(HelloFrame::Decode(body)->version, kProtocolVersion);
    body[0] = 'X';
    EXPECT_FALSE(HelloFrame::Decode(body));
    expectPrefixesFail(split(HelloFrame{}.Encode()).second, HelloFrame::Decode);
}

TEST(WireMessages, EnumerationRoundTripsAndCapsToOneFrame) {
    EnumRequestFrame req{77, sampleSession().application};
    auto [rt, rbody] = split(req.Encode());
    EXPECT_EQ(rt, FrameType::EnumRequest);
    EXPECT_EQ(rbody.size(), 20u);
    auto req2 = EnumRequestFrame::Decode(rbody);
    ASSERT_TRUE(req2);
    EXPECT_EQ(req2->token, 77u);
    EXPECT_EQ(req2->application, req.application);
    expectPrefixesFail(rbody, EnumRequestFrame::Decode);

    EnumReplyFrame reply;
    reply.token = 5;
    for (int i = 0; i < 11; ++i) reply.sessions.push_back(sampleSession());
    auto [type, body] = split(reply.Encode());
    EXPECT_EQ(type, FrameType::EnumReply);
    auto back = EnumReplyFrame::Decode(body);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->sessions.size(), 11u);
    expectSame(back->sessions[10], sampleSession());
    expectPrefixesFail(body, EnumReplyFrame::Decode);

    // Long names: only what fits in one frame goes out, and the count says so.
    reply.sessions.assign(400, sampleSession());
    for (auto& s : reply.sessions) s.name.assign(255, 'n');
    auto huge = reply.Encode();
    EXPECT_LE(huge.size() - 4, kMaxFrameLength);
    auto cut = EnumReplyFrame::Decode(split(huge).second);
    ASSERT_TRUE(cut);
    EXPECT_GT(cut->sessions.size(), 100u);
    EXPECT_LT(cut->sessions.size(), 400u);
}

TEST(WireMessages, OpenAndPlayerFramesRoundTrip) {
    OpenRequestFrame open{3, sampleSession().instance, "SECRET"};
    auto o = OpenRequestFrame::Decode(split(open.Encode()).second);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->password, "SECRET");
    EXPECT_EQ(o->instance, open.instance);
    expectPrefixesFail(split(open.Encode()).second, OpenRequestFrame::Decode);

    OpenReplyFrame ok{4, WireStatus::Ok, sampleSession()};
    auto r = OpenReplyFrame::Decode(split(ok.Encode()).second);
    ASSERT_TRUE(r);
    expectSame(r->session, sampleSession());
    OpenReplyFrame full{4, WireStatus::SessionFull, {}};
    auto fullBody = split(full.Encode()).second;
    EXPECT_EQ(fullBody.size(), 8u);
    EXPECT_EQ(OpenReplyFrame::Decode(fullBody)->status, WireStatus::SessionFull);

    auto c = CreatePlayerFrame::Decode(split(CreatePlayerFrame{9, "Zed"}.Encode()).second);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->name, "Zed");
    auto cr = CreatePlayerReplyFrame::Decode(
        split(CreatePlayerReplyFrame{9, WireStatus::Ok, 1234}.Encode()).second);
    ASSERT_TRUE(cr);
    EXPECT_EQ(cr->player, 1234u);
    EXPECT_EQ(DestroyPlayerFrame::Decode(split(DestroyPlayerFrame{55}.Encode()).second)->player,
              55u);

    PlayerNoticeFrame n{PlayerNoticeFrame::Destroyed, 8, 3, ""};
    auto nb = split(n.Encode()).second;
    EXPECT_EQ(PlayerNoticeFrame::Decode(nb)->kind, PlayerNoticeFrame::Destroyed);
    nb[0] = 9;  // no such kind
    EXPECT_FALSE(PlayerNoticeFrame::Decode(nb));
}

TEST(WireMessages, SendLayoutIsFromToFlagsThenData) {
    const uint8_t data[] = {1, 2, 3};
    auto frame = MessageFrame::EncodeFrom(FrameType::Send, 0x01020304, 0x0A0B0C0D, 1, data, 3);
    EXPECT_EQ(frame, (std::vector<uint8_t>{16,   0,    0,    0, 0x17, 4, 3, 2, 1, 0x0D,
                                           0x0C, 0x0B, 0x0A, 1, 0,    0, 0, 1, 2, 3}));
    auto m = MessageFrame::Decode(split(frame).second);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->data, (std::vector<uint8_t>{1, 2, 3}));
    expectPrefixesFail(std::vector<uint8_t>(frame.begin() + 5, frame.begin() + 17),
                       MessageFrame::Decode);
}

TEST(SystemMessages, LayoutsStartWithTheTypeCode) {
    SystemMessage lost{kSysSessionLost, 0, ""};
    EXPECT_EQ(lost.Encode(), (std::vector<uint8_t>{0x31, 0, 0, 0}));
    SystemMessage created{kSysPlayerCreated, 0x0102, "Ann"};
    EXPECT_EQ(created.Encode(),
              (std::vector<uint8_t>{0x01, 0x01, 0, 0, 0x02, 0x01, 0, 0, 'A', 'n', 'n', 0}));
    SystemMessage gone{kSysPlayerDestroyed, 7, ""};
    EXPECT_EQ(gone.Encode(), (std::vector<uint8_t>{0x02, 0x01, 0, 0, 7, 0, 0, 0}));

    auto bytes = created.Encode();
    auto back = SystemMessage::Decode(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->player, 0x0102u);
    EXPECT_EQ(back->name, "Ann");
    for (size_t n = 0; n < 9; ++n) EXPECT_FALSE(SystemMessage::Decode(bytes.data(), n)) << n;
    uint8_t unknown[4] = {0x99, 0, 0, 0};
    EXPECT_FALSE(SystemMessage::Decode(unknown, 4));
}

// Byte layouts of the lobby messages: each encoder's output is compared with the layout
// written down by offset, then decoded back; short, unknown and over-long input.
#include "lobby/session/lobby_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zrt {
namespace {

// Builds expected bytes by offset.
class Layout {
  public:
    explicit Layout(size_t size) : b_(size, 0) {}
    Layout& u32(size_t off, uint32_t v) {
        for (int i = 0; i < 4; ++i) b_.at(off + i) = static_cast<uint8_t>(v >> (8 * i));
        return *this;
    }
    Layout& u16(size_t off, uint16_t v) {
        b_.at(off) = static_cast<uint8_t>(v);
        b_.at(off + 1) = static_cast<uint8_t>(v >> 8);
        return *this;
    }
    Layout& text(size_t off, const std::string& s) {
        for (size_t i = 0; i < s.size(); ++i) b_.at(off + i) = static_cast<uint8_t>(s[i]);
        return *this;
    }
    operator std::vector<uint8_t>() const { return b_; }

  private:
    std::vector<uint8_t> b_;
};

PlayerEntry tenCharPlayer() {
    PlayerEntry p;
    p.id = 0x01020304;
    p.address = "192.168.100.200";  // 15 characters
    p.name = "Abcdefghij";          // 10 characters
    p.portrait = 0x1101;
    p.country = 0x2202;
    p.score = 0x3303;
    p.victories = 0x4404;
    p.defeats = 0x5505;
    p.quits = 0x6606;
    p.gemstones = 0x7707;
    return p;
}

struct LayoutCase {
    const char* name;
    std::vector<uint8_t> encoded;
    std::vector<uint8_t> expected;
};

class MessageLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(MessageLayoutTest, EncodesByteForByte) {
    EXPECT_EQ(GetParam().encoded, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllMessages, MessageLayoutTest,
    ::testing::Values(
        LayoutCase{"welcome", encodeWelcome(77), Layout(8).u32(0, 0).u32(4, 77)},
        // A two-character line: 16 bytes, NUL at 14, one spare byte at 15.
        LayoutCase{"chat", encodeChat({5, 0, "hi"}),
                   Layout(16).u32(0, 1).u32(4, 5).u32(8, 0).text(12, "hi")},
        LayoutCase{"whisper", encodeChat({5, 9, "abc"}),
                   Layout(17).u32(0, 1).u32(4, 5).u32(8, 9).text(12, "abc")},
        LayoutCase{"launch", encodeLaunch({42, "10.1.2.3"}),
                   Layout(18).u32(0, 2).u32(4, 42).text(8, "10.1.2.3")},
        LayoutCase{"player info", encodePlayerInfo(tenCharPlayer()),
                   Layout(49)
                       .u32(0, 100)
                       .u32(4, 0x01020304)
                       .text(8, "192.168.100.200")
                       .text(24, "Abcdefghij")
                       .u16(35, 0x1101)
                       .u16(37, 0x2202)
                       .u16(39, 0x3303)
                       .u16(41, 0x4404)
                       .u16(43, 0x5505)
                       .u16(45, 0x6606)
                       .u16(47, 0x7707)},
        LayoutCase{"player left", encodePlayerLeft(9), Layout(8).u32(0, 101).u32(4, 9)},
        LayoutCase{"group created, count not set",
                   encodeGroupCreated({300, 5, true, false, 255, "Welcome", false}),
                   Layout(284)
                       .u32(0, 102)
                       .u32(4, 300)
                       .u32(8, 5)
                       .u32(12, 1)
                       .u32(16, 0)
                       .u32(20, 255)
                       .text(24, "Welcome")
                       .u32(280, 0)},
        LayoutCase{"group created, two players, saved, launched",
                   encodeGroupCreated({301, 6, false, true, 2, "Duel", true}),
                   Layout(284)
                       .u32(0, 102)
                       .u32(4, 301)
                       .u32(8, 6)
                       .u32(16, 1)
                       .u32(20, 2)
                       .text(24, "Duel")
                       .u32(280, 1)},
        LayoutCase{"group removed", encodeGroupRemoved(300), Layout(8).u32(0, 103).u32(4, 300)},
        LayoutCase{"group join", encodeGroupJoin({5, 300}),
                   Layout(12).u32(0, 104).u32(4, 5).u32(8, 300)},
        LayoutCase{"group leave", encodeGroupLeave({5, 300}),
                   Layout(12).u32(0, 105).u32(4, 5).u32(8, 300)},
        LayoutCase{"state request", encodeStateRequest(), Layout(4).u32(0, 106)},
        LayoutCase{"state end", encodeStateEnd(), Layout(4).u32(0, 107)},
        LayoutCase{"group id request", encodeGroupIdRequest(), Layout(8).u32(0, 108)},
        LayoutCase{"group id reply", encodeGroupIdReply(55), Layout(8).u32(0, 108).u32(4, 55)},
        LayoutCase{"invite", encodeInvite({5, 6, 300}),
                   Layout(16).u32(0, 109).u32(4, 5).u32(8, 6).u32(12, 300)},
        LayoutCase{"invite reply", encodeInviteReply({6, 5, true}),
                   Layout(16).u32(0, 110).u32(4, 6).u32(8, 5).u32(12, 1)},
        LayoutCase{"news", encodeNews("Hello"), Layout(10).u32(0, 111).text(4, "Hello")}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n) {
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return n;
    });

TEST(LobbyMessages, TenCharacterNameEndsAtOffset34) {
    const auto bytes = encodePlayerInfo(tenCharPlayer());
    ASSERT_EQ(bytes.size(), kPlayerInfoSize);
    EXPECT_EQ(bytes[33], 'j');
    EXPECT_EQ(bytes[34], 0);
    EXPECT_EQ(bytes[35], 0x01);  // portrait's low byte at the first odd offset
}

TEST(LobbyMessages, RoundTrips) {
    PlayerEntry p = tenCharPlayer();
    auto b = encodePlayerInfo(p);
    EXPECT_EQ(decodePlayerInfo(b.data(), b.size()), p);

    ChatMessage chat{5, 9, "a whisper"};
    b = encodeChat(chat);
    EXPECT_EQ(decodeChat(b.data(), b.size()), chat);

    LaunchMessage launch{42, "127.0.0.1"};
    b = encodeLaunch(launch);
    EXPECT_EQ(decodeLaunch(b.data(), b.size()), launch);

    GroupCreatedMessage group{300, 5, true, true, 7, "Title", true};
    b = encodeGroupCreated(group);
    EXPECT_EQ(decodeGroupCreated(b.data(), b.size()), group);

    b = encodeGroupLeave({5, 300});
    EXPECT_EQ(decodeGroupMembership(b.data(), b.size()), (GroupMembershipMessage{5, 300}));

    b = encodeInvite({5, 6, 300});
    EXPECT_EQ(decodeInvite(b.data(), b.size()), (InviteMessage{5, 6, 300}));

    b = encodeInviteReply({6, 5, false});
    EXPECT_EQ(decodeInviteReply(b.data(), b.size()), (InviteReplyMessage{6, 5, false}));

    b = encodeGroupIdReply(55);
    EXPECT_EQ(decodeGroupIdReply(b.data(), b.size()), 55u);
    b = encodeNews("News of the day");
    EXPECT_EQ(decodeNews(b.data(), b.size()), "News of the day");
}

TEST(LobbyMessages, ThreeBytesOrFewerHaveNoCode) {
    const uint8_t bytes[4] = {100, 0, 0, 0};
    for (size_t n = 0; n <= 3; ++n) EXPECT_FALSE(messageCode(bytes, n)) << n;
    EXPECT_EQ(messageCode(bytes, 4), 100u);
}

TEST(LobbyMessages, ShortOrMislabelledMessagesAreRefused) {
    auto info = encodePlayerInfo(tenCharPlayer());
    for (size_t n = 0; n < info.size(); ++n) {
        EXPECT_FALSE(decodePlayerInfo(info.data(), n)) << n;
    }
    auto group = encodeGroupCreated({300, 5, false, false, 255, "T", false});
    EXPECT_FALSE(decodeGroupCreated(group.data(), group.size() - 1));
    auto join = encodeGroupJoin({5, 300});
    EXPECT_FALSE(decodeGroupMembership(join.data(), 11));
    EXPECT_FALSE(decodeInvite(join.data(), join.size()));  // wrong code
    auto chat = encodeChat({5, 0, "x"});
    EXPECT_FALSE(decodeChat(chat.data(), 11));
    EXPECT_FALSE(decodeWelcome(chat.data(), chat.size()));
}

TEST(LobbyMessages, OverlongTextsAreCutToTheirField) {
    // Encoding cuts too, so a relay never carries more than the field.
    EXPECT_EQ(encodeChat({1, 0, std::string(150, 'c')}).size(), 114u);
    EXPECT_EQ(encodeLaunch({1, "1234567890123456789"}).size(), 25u);
    EXPECT_EQ(encodeNews(std::string(5000, 'n')).size(), 4u + 4095 + 1);

    // Received texts without a NUL inside their field, or longer than it.
    std::vector<uint8_t> info = encodePlayerInfo(tenCharPlayer());
    for (size_t i = 8; i < 35; ++i) info[i] = 'x';  // address and name fill their fields
    auto p = decodePlayerInfo(info.data(), info.size());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->address, std::string(15, 'x'));
    EXPECT_EQ(p->name, std::string(10, 'x'));

    std::vector<uint8_t> chat = encodeChat({5, 0, "x"});
    chat.resize(12);
    chat.insert(chat.end(), 300, 'y');  // no NUL at all
    auto c = decodeChat(chat.data(), chat.size());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->text, std::string(100, 'y'));

    std::vector<uint8_t> news = {111, 0, 0, 0};
    news.insert(news.end(), 6000, 'z');
    EXPECT_EQ(decodeNews(news.data(), news.size())->size(), 4095u);

    std::vector<uint8_t> launch = encodeLaunch({1, ""});
    launch.resize(8);
    launch.insert(launch.end(), 40, '9');
    EXPECT_EQ(decodeLaunch(launch.data(), launch.size())->hostAddress, std::string(15, '9'));

    std::vector<uint8_t> group = encodeGroupCreated({1, 2, false, false, 255, "", false});
    for (size_t i = 24; i < 280; ++i) group[i] = 't';
    EXPECT_EQ(decodeGroupCreated(group.data(), group.size())->title, std::string(255, 't'));
}

TEST(MessageTable, EveryCodeOnceWithItsClientSize) {
    const std::pair<uint32_t, size_t> sizes[] = {
        {MSG_PLAYER_INFO, 49}, {MSG_GROUP_CREATED, 284}, {MSG_GROUP_JOIN, 12},
        {MSG_GROUP_LEAVE, 12}, {MSG_STATE_REQUEST, 4},   {MSG_GROUP_ID, 8},
        {MSG_INVITE, 16},      {MSG_INVITE_REPLY, 16},   {MSG_CHAT, 114},
        {MSG_LAUNCH, 25},      {MSG_WELCOME, 0},         {MSG_NEWS, 0}};
    for (auto [code, size] : sizes) {
        ASSERT_NE(findMessageInfo(code), nullptr);
        EXPECT_EQ(findMessageInfo(code)->maxClientSize, size) << code;
    }
    EXPECT_EQ(std::size(kMessageTable), 15u);
    EXPECT_EQ(findMessageInfo(3), nullptr);
    EXPECT_EQ(maxClientSize(3), 0u);
    EXPECT_EQ(deliveryOf(MSG_GROUP_LEAVE), Delivery::Plain);
    EXPECT_EQ(deliveryOf(MSG_GROUP_JOIN), Delivery::Guaranteed);
}

// The server drops what is larger than the table allows: the largest message each client
// encoder writes must fit, or a real client's message would be refused.
TEST(MessageTable, TheLargestClientMessagesFit) {
    PlayerEntry player;
    player.name = std::string(40, 'n');
    player.address = std::string(40, '1');
    const Bytes largest[] = {
        encodeChat({1, 2, std::string(300, 'c')}),
        encodeLaunch({1, std::string(40, '9')}),
        encodePlayerInfo(player),
        encodeGroupCreated({1, 2, true, true, 7, std::string(400, 't'), false}),
        encodeGroupJoin({1, 2}),
        encodeGroupLeave({1, 2}),
        encodeStateRequest(),
        encodeGroupIdRequest(),
        encodeInvite({1, 2, 3}),
        encodeInviteReply({1, 2, true}),
    };
    for (const Bytes& m : largest) {
        const uint32_t code = *messageCode(m.data(), m.size());
        EXPECT_EQ(m.size(), maxClientSize(code)) << code;
    }
}

}  // namespace
}  // namespace zrt

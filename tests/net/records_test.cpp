// The server-link records: byte layout of every encoder, round trips, and decoders fed short
// or overlong input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lobby/net/account_messages.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/reply_prefix.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"

namespace zrt {
namespace {

AccountStats sampleStats() {
    AccountStats s;
    s.score = 0x1234;
    s.portrait = 3;
    s.country = 200;
    s.year = 1999;
    s.month = 12;
    s.day = 31;
    s.won = 7;
    s.lost = 8;
    s.quit = 9;
    s.gemstones = 0xABCD;
    return s;
}

TEST(AccountStatsRecord, TenLittleEndianFieldsInOrder) {
    playnet::ByteWriter w;
    writeAccountStats(w, sampleStats());
    const std::vector<uint8_t> expected = {0x34, 0x12, 3, 0, 200, 0, 0xCF, 0x07, 12,   0,
                                           31,   0,    7, 0, 8,   0, 9,    0,    0xCD, 0xAB};
    EXPECT_EQ(w.data(), expected);
    playnet::ByteReader r(w.data().data(), w.size());
    EXPECT_EQ(readAccountStats(r), sampleStats());
    EXPECT_TRUE(r.ok());

    playnet::ByteReader shortReader(expected.data(), 5);
    readAccountStats(shortReader);
    EXPECT_FALSE(shortReader.ok());
}

TEST(AccountStatsRecord, NewAccountFigures) {
    AccountStats s = newAccountStats(4, 17, 2024, 2, 29);
    EXPECT_EQ(s.score, 100);
    EXPECT_EQ(s.won + s.lost + s.quit, 0);
    EXPECT_EQ(s.gemstones, 5);
    EXPECT_EQ(s.portrait, 4);
    EXPECT_EQ(s.country, 17);
    EXPECT_EQ(s.year, 2024);
}

TEST(RequestCodeTable, SizesAndFraming) {
    struct Row {
        uint8_t code;
        size_t size;
        int prefix;
    } rows[] = {{0, 12, 0}, {1, 55, 2}, {2, 93, 0}, {4, 1, 0}, {5, 1, 2}};
    for (const Row& row : rows) {
        auto k = requestKind(row.code);
        ASSERT_TRUE(k) << int(row.code);
        EXPECT_EQ(k->requestSize, row.size);
        EXPECT_EQ(k->prefixWidth, row.prefix);
    }
    EXPECT_FALSE(requestKind(3));
    EXPECT_FALSE(requestKind(6));
    EXPECT_FALSE(requestKind(255));
}

TEST(VersionRecords, RequestsAndReplies) {
    auto req = encodeVersionRequest(kVersionTag);
    ASSERT_EQ(req.size(), 5u);
    EXPECT_EQ(std::string(req.begin(), req.end()), std::string("ZR01\0", 5));
    EXPECT_EQ(*decodeVersionRequest(req.data(), req.size()), "ZR01");
    EXPECT_FALSE(decodeVersionRequest(req.data(), 4));

    auto db = encodeDatabaseVersionRequest(kVersionTag);
    ASSERT_EQ(db.size(), 12u);
    EXPECT_EQ(db[0], 0);
    EXPECT_EQ(db[1], 'Z');
    for (size_t i = 6; i < 12; ++i) EXPECT_EQ(db[i], 0);
    EXPECT_EQ(*decodeDatabaseVersionRequest(db.data(), db.size()), "ZR01");
    EXPECT_FALSE(decodeDatabaseVersionRequest(db.data(), 11));

    VersionReply v{1, "http://zerathon.example/", "db.example"};
    auto vr = encodeVersionReply(v);
    ASSERT_EQ(vr.size(), 1 + 80 + 10 + 1);
    EXPECT_EQ(vr[0], 1);
    EXPECT_EQ(vr[1], 'h');
    EXPECT_EQ(vr[81], 'd');
    EXPECT_EQ(vr.back(), 0);
    auto back = decodeVersionReply(vr.data(), vr.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->homeUrl, v.homeUrl);
    EXPECT_EQ(back->databaseAddress, v.databaseAddress);

    DatabaseVersionReply d{1, "http://h/", "Server maintenance tonight."};
    auto dr = encodeDatabaseVersionReply(d);
    ASSERT_EQ(dr.size(), kDatabaseVersionReplySize);
    EXPECT_EQ(dr[kNewsOffset], 'S');
    EXPECT_EQ(decodeDatabaseVersionReply(dr.data(), dr.size())->news, d.news);
}

TEST(VersionRecords, ShortRepliesYieldTerminatedTexts) {
    // An address without its NUL at the end of the bytes received.
    std::vector<uint8_t> vr(81, 0);
    vr[0] = 1;
    for (char c : std::string("10.0.0.7")) vr.push_back(static_cast<uint8_t>(c));
    auto v = decodeVersionReply(vr.data(), vr.size());
    ASSERT_TRUE(v);
    EXPECT_EQ(v->databaseAddress, "10.0.0.7");
    // A URL cut short within its 80 bytes.
    std::vector<uint8_t> cut = {1, 'h', 't', 't', 'p'};
    v = decodeVersionReply(cut.data(), cut.size());
    ASSERT_TRUE(v);
    EXPECT_EQ(v->homeUrl, "http");
    EXPECT_EQ(v->databaseAddress, "");
    EXPECT_FALSE(decodeVersionReply(cut.data(), 0));

    // News filling its 512 bytes without a NUL, then a reply cut in the middle of the news.
    std::vector<uint8_t> dr(kDatabaseVersionReplySize, 'n');
    dr[0] = 1;
    auto d = decodeDatabaseVersionReply(dr.data(), dr.size());
    EXPECT_EQ(d->news.size(), kNewsSize - 1);
    d = decodeDatabaseVersionReply(dr.data(), kNewsOffset + 10);
    EXPECT_EQ(d->news, std::string(10, 'n'));
    d = decodeDatabaseVersionReply(dr.data(), 50);
    EXPECT_EQ(d->news, "");
}

TEST(AccountRecords, NewAccountRequestLayout) {
    NewAccountRequest req{"player1", newAccountStats(2, 5, 2024, 6, 1), "p1@example.org"};
    auto b = encodeNewAccountRequest(req);
    ASSERT_EQ(b.size(), kNewAccountRequestSize);
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[1])), "player1");
    EXPECT_EQ(b[22], 100);     // score, low byte
    EXPECT_EQ(b[22 + 18], 5);  // gemstones
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[42])), "p1@example.org");
    EXPECT_EQ(b[92], 0);
    auto back = decodeNewAccountRequest(b.data(), b.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->loginName, "player1");
    EXPECT_EQ(back->stats, req.stats);
    EXPECT_EQ(back->email, req.email);
    EXPECT_FALSE(decodeNewAccountRequest(b.data(), 92));
    b[0] = 1;
    EXPECT_FALSE(decodeNewAccountRequest(b.data(), b.size()));

    // Unterminated fields are cut to their width and terminated.
    std::vector<uint8_t> junk(93, 'x');
    junk[0] = 2;
    back = decodeNewAccountRequest(junk.data(), junk.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->loginName.size(), 20u);
    EXPECT_EQ(back->email.size(), 50u);

    EXPECT_EQ(encodeNewAccountOutcome(NewAccountOutcome::MailFailed), std::vector<uint8_t>{3});
    uint8_t one = 1;
    EXPECT_EQ(*decodeNewAccountOutcome(&one, 1), 1);
    EXPECT_FALSE(decodeNewAccountOutcome(&one, 0));
}

TEST(LoginRecords, RequestLayout) {
    LoginRequest req{"bob", sampleStats(), 7, 9, "secretpassword"};
    auto b = encodeLoginRequest(req);
    ASSERT_EQ(b.size(), kLoginRequestSize);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 'b');
    EXPECT_EQ(b[22], 0x34);
    EXPECT_EQ(b[42], 7);
    EXPECT_EQ(b[43], 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[44])), "secretpass");  // 10 characters
    EXPECT_EQ(b[54], 0);
    auto back = decodeLoginRequest(b.data(), b.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->password, "secretpass");
    EXPECT_EQ(back->stats, req.stats);
    EXPECT_EQ(back->loginCounter, 7);
    EXPECT_FALSE(decodeLoginRequest(b.data(), 54));
}

TEST(LoginRecords, ReplyLengthCarriesTheGrant) {
    struct Row {
        uint8_t status, grant;
        size_t size;
        uint8_t decodedGrant;
    } rows[] = {
        {0, 0, 2 + 21, 0},  {0, 5, 2 + 1280, 5}, {0, 20, 2 + 5120, 20},
        {0, 25, 2 + 21, 0}, {203, 5, 3, 0},      {200, 0, 3, 0},
    };
    for (const Row& row : rows) {
        auto r = encodeLoginReply(row.status, row.grant, sampleStats());
        EXPECT_EQ(r.size(), row.size) << int(row.grant);
        EXPECT_EQ(*declaredLength(r.data(), r.size(), 2) + 2, r.size());
        EXPECT_EQ(r[2], row.status);
        auto d = decodeLoginReply(r.data(), r.size());
        ASSERT_TRUE(d);
        EXPECT_EQ(d->status, row.status);
        EXPECT_EQ(d->grant, row.decodedGrant);
    }
    EXPECT_EQ(grantOf(0), 0);
    EXPECT_EQ(grantOf(1), 1);
    EXPECT_EQ(grantOf(20), 20);
    EXPECT_EQ(grantOf(21), 0);
    EXPECT_EQ(grantOf(25), 0);
    uint8_t two[2] = {5, 0};
    EXPECT_FALSE(decodeLoginReply(two, 2));
}

TEST(BannerRecords, RecordAndPrefixAlone) {
    BannerRecord rec{"http://ads.example/b.gif", 0, "http://ads.example/", 0};
    auto b = encodeBannerRecord(rec);
    ASSERT_EQ(b.size(), kBannerRecordSize);
    EXPECT_EQ(b[0], 0x01);
    EXPECT_EQ(b[1], 0x2C);  // 300
    EXPECT_EQ(b[2], 'h');
    EXPECT_EQ(b[152], 'h');
    auto back = decodeBannerRecord(b.data(), b.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pictureUrl, rec.pictureUrl);
    EXPECT_EQ(back->clickUrl, rec.clickUrl);
    EXPECT_FALSE(decodeBannerRecord(b.data(), 301));

    auto none = encodeNoBanner();
    EXPECT_EQ(none, (std::vector<uint8_t>{0, 0}));
    EXPECT_FALSE(decodeBannerRecord(none.data(), none.size()));
    std::vector<uint8_t> zeroDeclared(302, 0);
    EXPECT_FALSE(decodeBannerRecord(zeroDeclared.data(), zeroDeclared.size()));
    EXPECT_EQ(encodeBannerRequest(), std::vector<uint8_t>{5});
}

TEST(LadderRecords, EntriesAndLimits) {
    std::vector<LadderEntry> entries;
    for (int i = 0; i < 60; ++i) entries.push_back({"p" + std::to_string(i), sampleStats()});
    auto b = encodeLadderReply(entries);
    EXPECT_EQ(b.size(), 1 + 49 * kLadderEntrySize);
    EXPECT_LE(b.size(), kFirstReadMax);
    EXPECT_EQ(b[0], 49);
    EXPECT_EQ(b[1], 'p');
    EXPECT_EQ(b[1 + 21], 0x34);
    auto back = decodeLadderReply(b.data(), b.size());
    ASSERT_EQ(back.size(), 49u);
    EXPECT_EQ(back[48].loginName, "p48");

    // The count claims more than arrived: only whole entries are taken.
    std::vector<uint8_t> cut(b.begin(), b.begin() + 1 + 3 * 41 + 20);
    cut[0] = 200;
    EXPECT_EQ(decodeLadderReply(cut.data(), cut.size()).size(), 3u);
    // More than the window's 99 whole entries arrived: 99 are kept.
    std::vector<uint8_t> big(1 + 120 * 41, 'a');
    big[0] = 120;
    auto many = decodeLadderReply(big.data(), big.size());
    ASSERT_EQ(many.size(), 99u);
    EXPECT_EQ(many[0].loginName.size(), 20u);

    uint8_t zero = 0;
    EXPECT_TRUE(decodeLadderReply(&zero, 1).empty());
    EXPECT_TRUE(decodeLadderReply(&zero, 0).empty());
    EXPECT_EQ(encodeLadderRequest(), std::vector<uint8_t>{4});
}

TEST(ReplyPrefix, DeclaredLength) {
    uint8_t p[2] = {0x01, 0x2C};
    EXPECT_EQ(*declaredLength(p, 2, 2), 300u);
    EXPECT_EQ(*declaredLength(p, 2, 1), 1u);
    EXPECT_FALSE(declaredLength(p, 1, 2));
    EXPECT_FALSE(declaredLength(p, 2, 0));
    EXPECT_FALSE(declaredLength(p, 2, 3));
    EXPECT_FALSE(withPrefix(std::vector<uint8_t>(65536)));
    EXPECT_EQ(withPrefix(std::vector<uint8_t>(65535))->size(), 65537u);
}

}  // namespace
}  // namespace zrt

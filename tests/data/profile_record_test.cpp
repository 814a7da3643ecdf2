// The profile check byte and the reversible transform, on records in memory.
#include "lobby/data/profile_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "lobby/data/profile_crc.h"

using namespace zrt;

TEST(ProfileCrc8, CheckValues) {
    EXPECT_EQ(ProfileCrc8(reinterpret_cast<const uint8_t*>("123456789"), 9), 0x91);
    EXPECT_EQ(ProfileCrc8(reinterpret_cast<const uint8_t*>("a"), 1), 0x2F);
    EXPECT_EQ(ProfileCrc8(nullptr, 0), 0);
    uint8_t msg[10];
    std::memcpy(msg, "123456789", 9);
    msg[9] = 0x91;
    EXPECT_EQ(ProfileCrc8(msg, 10), 0) << "a message followed by its CRC gives 0";
}

TEST(ProfileKey, EveryTimeGivesAKeyWithLowBitsSet) {
    for (std::time_t t = -400; t < 400; ++t) {
        uint8_t k = ProfileKeyForTime(t);
        EXPECT_GE(k, 39);
        EXPECT_LE(k, 223);
        EXPECT_EQ(k & 7, 7);
    }
    EXPECT_EQ(ProfileKeyForTime(0), 39);
    EXPECT_EQ(ProfileKeyForTime(191), 223);
}

static ProfileRecord SampleRecord() {
    ProfileRecord r;
    for (size_t i = 0; i < kProfileSize; ++i) r.bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    r.bytes[profile_offset::kKey] = 0;
    return r;
}

TEST(ProfileScramble, RoundTripForEveryKeyAndOnlyProtectedBytesChange) {
    ProfileRecord plain = SampleRecord();
    for (int k = 39; k <= 223; k += 8) {
        auto stored = ScrambleProfile(plain, static_cast<uint8_t>(k));
        EXPECT_EQ(stored[profile_offset::kKey], k);
        EXPECT_EQ(0, std::memcmp(stored.data(), plain.bytes.data(), profile_offset::kKey));
        auto back = UnscrambleProfile(stored.data(), stored.size());
        ASSERT_TRUE(back) << "key " << k;
        // The check byte is recomputed; everything else comes back as it was.
        ProfileRecord expected = plain;
        expected.bytes[profile_offset::kCheck] = back->bytes[profile_offset::kCheck];
        EXPECT_EQ(back->bytes, expected.bytes) << "key " << k;
        EXPECT_EQ(ScrambleProfile(*back, static_cast<uint8_t>(k)), stored);
    }
}

TEST(ProfileScramble, AllZeroBytesAreAValidProfile) {
    uint8_t zeros[kProfileSize] = {};
    auto r = UnscrambleProfile(zeros, sizeof zeros);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->playerName(), "");
    EXPECT_FALSE(r->hasLobbyAccount());
}

TEST(ProfileScramble, ChangesAtOrAboveTheKeyAreDetected) {
    auto stored = ScrambleProfile(SampleRecord(), 95);
    for (size_t at = profile_offset::kKey; at < kProfileSize; ++at) {
        auto bad = stored;
        bad[at] ^= 0x01;
        EXPECT_FALSE(UnscrambleProfile(bad.data(), bad.size())) << "offset " << at;
    }
    for (size_t at = 0; at < profile_offset::kKey; ++at) {
        auto changed = stored;
        changed[at] ^= 0xFF;
        EXPECT_TRUE(UnscrambleProfile(changed.data(), changed.size())) << "offset " << at;
    }
    EXPECT_FALSE(UnscrambleProfile(stored.data(), 1000)) << "a short file fails the check";
}

TEST(ProfileRecordFields, TextFieldsAreCutAndTerminated) {
    ProfileRecord r;
    r.setText(profile_offset::kStem, profile_width::kStem, "ABCDEFGHIJK");
    EXPECT_EQ(r.stem(), "ABCDEFGH");
    EXPECT_EQ(r.bytes[profile_offset::kStem + 8], 0);
    r.setU16(profile_offset::kGems, 0x1234);
    EXPECT_EQ(r.bytes[profile_offset::kGems], 0x34);
    EXPECT_EQ(r.bytes[profile_offset::kGems + 1], 0x12);
    // A field without a NUL in its width still reads as at most width - 1 characters.
    std::memset(r.bytes.data() + profile_offset::kLoginName, 'x', 21);
    EXPECT_EQ(r.loginName().size(), 20u);
}

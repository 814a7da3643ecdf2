// The country and nation tables.
#include <gtest/gtest.h>

#include <string>

#include "lobby/data/country_table.h"
#include "lobby/data/nation_table.h"

using namespace zrt;

TEST(Tables, CountryRows) {
    EXPECT_STREQ(CountryName(0), "Afghanistan");
    EXPECT_STREQ(CountryName(62), "EI Salvador");
    EXPECT_STREQ(CountryName(kCountryDefault), "USA");
    EXPECT_STREQ(CountryName(kCountryOther), "Other");
    EXPECT_STREQ(CountryName(235), "");
    EXPECT_STREQ(CountryName(-1), "");
}

TEST(Tables, NationRowsNameTheirPortraits) {
    EXPECT_STREQ(Nation(0)->name, "Norman");
    EXPECT_STREQ(Nation(0)->portraitFile, "LobbyRes/human01.bmp");
    EXPECT_STREQ(Nation(11)->portraitFile, "LobbyRes/human12.bmp");
    EXPECT_STREQ(Nation(12)->name, "Tollvane");
    EXPECT_STREQ(Nation(18)->portraitFile, "LobbyRes/fiend7.bmp");
    EXPECT_EQ(Nation(19), nullptr);
}

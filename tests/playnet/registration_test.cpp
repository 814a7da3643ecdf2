#include "playnet/registration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

TEST(Registration, WrittenFileIsFoundFirstInConfigHome) {
    zrttest::TempDir folder;
    const fs::path home = folder.path();
    const fs::path other = home / "etc";
    setenv("XDG_CONFIG_HOME", (home / "cfg").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", other.c_str(), 1);

    EXPECT_FALSE(playnet::ReadRegistration("Zerathon"));
    ASSERT_TRUE(
        playnet::WriteRegistration("Zerathon", {"/opt/z", "zrtgame", "{G}"}, other.string()));
    auto fromDirs = playnet::ReadRegistration("Zerathon");
    ASSERT_TRUE(fromDirs);
    EXPECT_EQ(fromDirs->path, "/opt/z");

    ASSERT_TRUE(playnet::WriteRegistration("Zerathon", {"/home/z", "zrtgame", "{H}"}));
    auto reg = playnet::ReadRegistration("Zerathon");
    ASSERT_TRUE(reg);
    EXPECT_EQ(reg->path, "/home/z");
    EXPECT_EQ(reg->guid, "{H}");
}

TEST(Registration, MissingKeyIsNoRegistration) {
    EXPECT_FALSE(playnet::ParseRegistration("Path=/a\nFile=b\n"));
    auto r = playnet::ParseRegistration("[Application]\r\nPath = /a \r\nFile=b\r\nGuid={x}\r\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->path, "/a");
    EXPECT_EQ(r->guid, "{x}");
}

// Writing shortcut files and reading back the address the UI may open.
#include "lobby/data/url_shortcut.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "tests/support/temp_dir.h"

using namespace zrt;

static std::string ReadText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(UrlShortcut, WritesExactlyTheThreeLines) {
    zrttest::TempDir dir;
    auto file = dir / "tempURL.url";
    ASSERT_TRUE(WriteUrlShortcut("http://ads.example.com/click?id=7", file));
    EXPECT_EQ(ReadText(file), "[InternetShortcut]\r\nURL=http://ads.example.com/click?id=7\r\n");
    // Rewriting truncates the old text.
    ASSERT_TRUE(WriteUrlShortcut("http://a.b/", file));
    EXPECT_EQ(ReadText(file), "[InternetShortcut]\r\nURL=http://a.b/\r\n");
    EXPECT_EQ(OpenableShortcutUrl(file), "http://a.b/");
}

TEST(UrlShortcut, AddressesStayOnOneLineAndWithin229Characters) {
    zrttest::TempDir dir;
    auto file = dir / "x.url";
    ASSERT_TRUE(
        WriteUrlShortcut("http://evil.example/\r\n[Other]\r\nURL=file:///etc/passwd", file));
    EXPECT_EQ(ReadText(file),
              "[InternetShortcut]\r\nURL=http://evil.example/[Other]URL=file:///etc/passwd\r\n");
    std::string longAddress = "https://example.com/" + std::string(400, 'a');
    std::string text = UrlShortcutText(longAddress);
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text, "[InternetShortcut]\r\nURL=" + longAddress.substr(0, 229) + "\r\n");
    EXPECT_EQ(UrlShortcutText(std::string("http://a\0b", 10)),
              "[InternetShortcut]\r\nURL=http://a\r\n");
    EXPECT_FALSE(WriteUrlShortcut("http://a/", dir / "missing" / "x.url"));
}

TEST(UrlShortcut, OnlyWebAddressesAreOpened) {
    zrttest::TempDir dir;
    auto file = dir / "s.url";
    for (const char* bad : {"file:///etc/passwd", "javascript:alert(1)", "http://", "ftp://x/",
                            "\\\\server\\share", "http://a b/"}) {
        ASSERT_TRUE(WriteUrlShortcut(bad, file));
        EXPECT_FALSE(OpenableShortcutUrl(file)) << bad;
    }
    EXPECT_TRUE(IsWebAddress("HTTPS://Example.com/"));
    std::ofstream(file, std::ios::binary)
        << "[InternetShortcut]\nIconIndex=0\nURL=https://x.org/\n";
    EXPECT_EQ(OpenableShortcutUrl(file), "https://x.org/");
    EXPECT_FALSE(OpenableShortcutUrl(dir / "none.url"));
    ASSERT_EQ(::mkfifo((dir / "pipe.url").c_str(), 0600), 0);
    EXPECT_FALSE(ReadShortcutUrl(dir / "pipe.url"));
}

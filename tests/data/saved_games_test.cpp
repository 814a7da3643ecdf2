// Listing saved games from a real save folder.
#include "lobby/data/saved_games.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_dir.h"

using namespace zrt;
namespace fs = std::filesystem;

static void Touch(const fs::path& p) {
    std::ofstream(p) << "x";
}

TEST(SavedGames, ListsSvmFilesInDirectoryOrderWithoutExtension) {
    zrttest::TempDir dir;
    fs::path folder = dir / "save" / "hero";
    fs::create_directories(folder);
    Touch(folder / "GAME1.SVM");
    Touch(folder / "LAST.SVM");
    Touch(folder / "NOTES.TXT");
    Touch(folder / "OLD.SVM.BAK");
    fs::create_directory(folder / "DIR.SVM");
    std::vector<std::string> expected;
    for (const auto& e : fs::directory_iterator(folder)) {
        std::string n = e.path().filename().string();
        if (n == "GAME1.SVM" || n == "LAST.SVM") expected.push_back(n.substr(0, n.find('.')));
    }
    EXPECT_EQ(ListSavedGames(dir.path(), "hero").names, expected);
}

TEST(SavedGames, NamesAreCutAtTheFirstDotAndLongOnesLeftOut) {
    zrttest::TempDir dir;
    fs::path folder = dir / "save" / "f";
    fs::create_directories(folder);
    Touch(folder / "A.B.SVM");
    Touch(folder / "FOURTEENCHARSX.SVM");
    Touch(folder / "THIRTEENCHARS.SVM");
    auto names = ListSavedGames(dir.path(), "f").names;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A", "THIRTEENCHARS"}));
}

TEST(SavedGames, AtMostOneHundred) {
    zrttest::TempDir dir;
    fs::path folder = dir / "save" / "many";
    fs::create_directories(folder);
    for (int i = 0; i < 120; ++i) Touch(folder / ("G" + std::to_string(i) + ".SVM"));
    EXPECT_EQ(ListSavedGames(dir.path(), "many").names.size(), 100u);
}

TEST(SavedGames, MissingOrEscapingFoldersListNothing) {
    zrttest::TempDir dir;
    fs::create_directories(dir / "save");
    Touch(dir / "save" / "TOP.SVM");
    Touch(dir / "OUT.SVM");
    EXPECT_TRUE(ListSavedGames(dir.path(), "nobody").names.empty());
    EXPECT_TRUE(ListSavedGames(dir.path(), "").names.empty());
    EXPECT_TRUE(ListSavedGames(dir.path(), "..").names.empty());
    EXPECT_TRUE(ListSavedGames(dir.path(), ".").names.empty());
    EXPECT_TRUE(ListSavedGames(dir.path(), "../save").names.empty());
}

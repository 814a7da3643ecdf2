// A SessionUi for the fuzz targets that drive a SessionDispatcher: it checks that every text
// handed to the user interface stays within its field, and remembers the calls that end a
// stay in a hall.
#pragma once

#include <cstdint>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "lobby/session/lobby_messages.h"
#include "lobby/session/session_ui.h"

namespace zrtfuzz {

class CheckingUi : public zrt::SessionUi {
  public:
    bool ended = false;  // sessionError or memberLaunch was called
    std::string lastNews;

    void playerLineAdded(uint32_t, const std::string& line) override {
        FUZZ_CHECK(line.size() <= zrt::kNameChars + 6);  // name, tab, score of at most 5 digits
    }
    void playerLineDeleted(uint32_t) override {}
    void chatLine(zrt::ChatTarget, uint32_t, const std::string& name, const std::string& text,
                  bool) override {
        FUZZ_CHECK(name.size() <= zrt::kNameChars && text.size() <= zrt::kChatChars);
    }
    void lobbyStatus() override {}
    void invitation(uint32_t, uint32_t) override {}
    void inviteReply(uint32_t, bool) override {}
    void news(const std::string& text) override {
        FUZZ_CHECK(text.size() <= zrt::kNewsChars);
        lastNews = text;
    }
    void memberLaunch(const std::string& address) override {
        FUZZ_CHECK(address.size() <= zrt::kAddressChars);
        ended = true;
    }
    void groupDialogMemberJoined(uint32_t) override {}
    void groupDialogMemberLeft(uint32_t) override {}
    void groupDialogClose() override {}
    void sessionError(const std::string&) override { ended = true; }
    void refreshGroups(bool) override {}
    void repaintTopPanel() override {}
    void repaintPlayerList() override {}
};

}  // namespace zrtfuzz

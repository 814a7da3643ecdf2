// A SessionUi that only counts what it is told, and a SessionSender that drops what it is
// given (counting it): the two ends a dispatcher needs when nothing is painted or sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lobby/session/session_ui.h"

namespace zrt::bench {

struct UiCounts {
    size_t linesAdded = 0;
    size_t linesDeleted = 0;
    size_t chatLines = 0;
    size_t status = 0;
    size_t groupsRefresh = 0;
    size_t topPanel = 0;
    size_t playerList = 0;
    size_t other = 0;  // invitations, news, launch, group dialog, errors

    size_t refreshes() const { return groupsRefresh + topPanel + playerList; }
    size_t total() const {
        return linesAdded + linesDeleted + chatLines + status + refreshes() + other;
    }
};

class CountingUi : public SessionUi {
  public:
    UiCounts counts;

    void playerLineAdded(uint32_t, const std::string&) override { ++counts.linesAdded; }
    void playerLineDeleted(uint32_t) override { ++counts.linesDeleted; }
    void chatLine(ChatTarget, uint32_t, const std::string&, const std::string&, bool) override {
        ++counts.chatLines;
    }
    void lobbyStatus() override { ++counts.status; }
    void invitation(uint32_t, uint32_t) override { ++counts.other; }
    void inviteReply(uint32_t, bool) override { ++counts.other; }
    void news(const std::string&) override { ++counts.other; }
    void memberLaunch(const std::string&) override { ++counts.other; }
    void groupDialogMemberJoined(uint32_t) override { ++counts.other; }
    void groupDialogMemberLeft(uint32_t) override { ++counts.other; }
    void groupDialogClose() override { ++counts.other; }
    void sessionError(const std::string&) override { ++counts.other; }
    void refreshGroups(bool) override { ++counts.groupsRefresh; }
    void repaintTopPanel() override { ++counts.topPanel; }
    void repaintPlayerList() override { ++counts.playerList; }
};

class DiscardingSender : public SessionSender {
  public:
    size_t sent = 0;
    void send(const std::vector<uint8_t>&) override { ++sent; }
};

}  // namespace zrt::bench

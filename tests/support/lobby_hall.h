// LobbyHall: the hall fixture with other players in it, and the context the lobby screen's
// panes and dialogs get, for the screen tests.
#pragma once

#include <string>
#include <vector>

#include "lobby/session/group_actions.h"
#include "lobby/ui/lobby_context.h"
#include "tests/support/hall_fixture.h"

namespace zrt::test {

// A live hall with the own player (1000, "Me") and players 2..`last` (named "P<id>", scored
// 100 + id), the group actions and the context the lobby screen's panes and dialogs get.
struct LobbyHall : HallFixture {
    GroupActions actions{session, sender, 200};
    LobbyContext ctx;

    explicit LobbyHall(uint32_t last) {
        std::vector<PlayerEntry> others;
        for (uint32_t id = 2; id <= last; ++id)
            others.push_back(makePlayer(id, "P" + std::to_string(id), 100 + id));
        enterLive(others);
        ctx.session = &session;
        ctx.sender = &sender;
        ctx.groups = &actions;
    }
};

}  // namespace zrt::test

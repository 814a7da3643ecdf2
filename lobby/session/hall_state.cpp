// HallState: locked copies of the hall tables for painting and dialogs, and the few writes the
// user-interface thread makes (pings, blocked ids, the group-dialog mirror).
#include "lobby/session/hall_state.h"

namespace zrt {

void HallState::enter(const PlayerEntry& ownProfile) {
    auto hall = write();
    hall->clear();
    hall->ownProfile = ownProfile;
}

std::optional<PlayerEntry> HallState::player(uint32_t id) const {
    auto hall = read();
    const PlayerEntry* p = hall->players.find(id);
    if (p == nullptr) return std::nullopt;
    return *p;
}

size_t HallState::playerCount() const {
    auto hall = read();
    return hall->players.size() < 1 ? 1 : hall->players.size();
}

std::vector<GroupRow> HallState::groupRows() const {
    auto hall = read();
    std::vector<GroupRow> rows;
    rows.reserve(hall->groups.size());
    const GroupEntry* own = hall->ownGroup();
    for (int pass = 0; pass < 2; ++pass) {
        const bool launched = pass == 1;
        for (size_t i = 0; i < hall->groups.size(); ++i) {
            const GroupEntry& g = hall->groups[i];
            if (g.launched != launched) continue;
            GroupRow row;
            row.tablePosition = i;
            row.group = g;
            row.own = &g == own;
            row.joinable = hall->isJoinable(i);
            for (uint32_t id : g.members) {
                MemberView m;
                m.id = id;
                if (const PlayerEntry* p = hall->players.find(id)) {
                    m.known = true;
                    m.name = p->name;
                    m.portrait = p->portrait;
                    m.score = p->score;
                    m.gemstones = p->gemstones;
                }
                row.members.push_back(std::move(m));
            }
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

OwnGroupStatus HallState::ownGroupStatus() const {
    auto hall = read();
    OwnGroupStatus status;
    if (hall->ownGroup() == nullptr) return status;
    status.inGroup = true;
    status.host = hall->host;
    status.launchable = hall->isLaunchable();
    status.memberCount = hall->ownGroupMemberCount();
    status.tablePosition = static_cast<size_t>(hall->groups.ownIndex());
    return status;
}

std::optional<GroupEntry> HallState::groupAt(size_t tablePosition) const {
    auto hall = read();
    if (tablePosition >= hall->groups.size()) return std::nullopt;
    return hall->groups[tablePosition];
}

std::string HallState::lobbyTitle() const {
    auto hall = read();
    const size_t players = hall->players.size() < 1 ? 1 : hall->players.size();
    return "ZRTH Lobby [ " + std::to_string(players) + " / " +
           std::to_string(hall->ownGroupMemberCount()) + " ]";
}

bool HallState::isInGameName(const std::string& name) const {
    auto hall = read();
    return hall->inGameNames.contains(name);
}

bool HallState::setPing(uint32_t playerId, float seconds) {
    auto hall = write();
    PlayerEntry* p = hall->players.find(playerId);
    if (p == nullptr) return false;
    p->ping = seconds;
    return true;
}

bool HallState::block(uint32_t playerId) {
    auto hall = write();
    return hall->blocked.add(playerId);
}

bool HallState::unblock(uint32_t playerId) {
    auto hall = write();
    return hall->blocked.remove(playerId);
}

bool HallState::isBlocked(uint32_t playerId) const {
    auto hall = read();
    return hall->blocked.contains(playerId);
}

std::optional<GroupDialogData> HallState::openGroupDialog() {
    auto hall = write();
    hall->groupDialog = GroupDialogMirror{};
    const GroupEntry* own = hall->ownGroup();
    if (own == nullptr) return std::nullopt;
    hall->groupDialog.open = true;
    hall->groupDialog.members = own->members;
    return GroupDialogData{static_cast<size_t>(hall->groups.ownIndex()), *own};
}

void HallState::closeGroupDialog() {
    auto hall = write();
    hall->groupDialog = GroupDialogMirror{};
}

}  // namespace zrt

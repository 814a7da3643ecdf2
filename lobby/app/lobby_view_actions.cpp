// LobbyView: what a click on the pane does.
#include "lobby/app/lobby_view.h"
#include "lobby/data/process_state.h"
#include "lobby/platform/app_events.h"
#include "lobby/ui/about_box.h"
#include "lobby/ui/create_group_dialog.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/saved_game_dialog.h"

namespace zrt {

void LobbyView::click(const LobbyHit& hit) {
    if (hit.spot == LobbyHotSpot::None) return;
    if (hit.spot != LobbyHotSpot::MemberCell) {
        // A dialog may open: the button goes back to its normal picture first.
        setHot({});
    }
    switch (hit.spot) {
        case LobbyHotSpot::MemberCell:
            if (openPlayerInfo_) openPlayerInfo_(hit.playerId);
            break;
        case LobbyHotSpot::Create:
            createGroup();
            break;
        case LobbyHotSpot::Join:
            joinGroup(hit.tablePosition);
            break;
        case LobbyHotSpot::QuitGroup:
            quitGroup();
            break;
        case LobbyHotSpot::Launch:
            launchGroup();
            break;
        case LobbyHotSpot::MyGroup:
            if (showOwnGroup_) showOwnGroup_();
            break;
        case LobbyHotSpot::About:
            AboutBox::Show(this);
            break;
        case LobbyHotSpot::None:
            break;
    }
}

void LobbyView::showResult(GroupResult result) {
    if (const char* text = groupResultText(result)) ErrorBox::Show(this, text);
}

void LobbyView::createGroup() {
    if (ctx_.groups == nullptr) return;
    CreateGroupDialog dialog(this, Process().savedGames.names);
    if (dialog.exec() != QDialog::Accepted) return;
    showResult(ctx_.groups->CreateGroup(dialog.settings()));
}

void LobbyView::joinGroup(size_t tablePosition) {
    if (ctx_.groups == nullptr) return;
    const std::vector<std::string>& saved = Process().savedGames.names;
    const SavedGameQuestion question{saved.size(),
                                     [this, &saved] { return SavedGameDialog::Ask(this, saved); }};
    showResult(ctx_.groups->JoinGroup(tablePosition, question));
}

void LobbyView::quitGroup() {
    if (ctx_.groups == nullptr) return;
    showResult(ctx_.groups->QuitGroup());
}

void LobbyView::launchGroup() {
    if (ctx_.groups == nullptr) return;
    if (const std::optional<size_t> count = ctx_.groups->LaunchGroup())
        PostAppEvent(this, WM_GROUP_LAUNCH, static_cast<intptr_t>(*count));
}

void LobbyView::groupLaunched(size_t memberCount) {
    if (launchGroup_) launchGroup_(memberCount);
}

}  // namespace zrt

// CreateGroupDialog: the optional settings of a new group (invitation only, a saved game to
// continue, the number of players, the title). On OK its result goes to GroupActions.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "lobby/session/group_actions.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace zrt {

class CreateGroupDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kTitleMaxChars = 25;
    static inline const char* kDefaultTitle = "Welcome";

    CreateGroupDialog(QWidget* owner, const std::vector<std::string>& savedGames);

    // The settings as the controls hold them: the saved-game index or -1 when that box is
    // unchecked, the player count (index + 2) or 255, the title or "Welcome".
    NewGroup settings() const;

    QCheckBox* inviteOnlyBox() const { return inviteOnly_; }
    QCheckBox* savedGameBox() const { return savedGame_; }
    QComboBox* savedGameList() const { return savedGameList_; }
    QCheckBox* playersBox() const { return setPlayers_; }
    QComboBox* playersList() const { return playersList_; }
    QCheckBox* titleBox() const { return setTitle_; }
    QLineEdit* titleEdit() const { return titleEdit_; }

  private:
    // A check box enables its companion while checked; the focus goes to the title edit.
    void boxToggled();

    QCheckBox* inviteOnly_;
    QCheckBox* savedGame_;
    QComboBox* savedGameList_;
    QCheckBox* setPlayers_;
    QComboBox* playersList_;
    QCheckBox* setTitle_;
    QLineEdit* titleEdit_;
};

}  // namespace zrt

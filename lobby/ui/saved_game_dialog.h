// SavedGameDialog: joining a group that continues a saved game, the user picks the local
// saved game to play it with.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QListWidget;

namespace zrt {

class SavedGameDialog : public QDialog {
    Q_OBJECT
  public:
    SavedGameDialog(QWidget* owner, const std::vector<std::string>& savedGames);

    // The selected line, or -1.
    int choice() const;
    QListWidget* list() const { return list_; }

    // Asks modally: the chosen index on OK, nothing on Cancel.
    static std::optional<int> Ask(QWidget* owner, const std::vector<std::string>& savedGames);

  private:
    QListWidget* list_;
};

}  // namespace zrt

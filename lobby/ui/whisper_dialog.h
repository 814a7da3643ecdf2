// WhisperDialog: a whisper to one player, sent through the server player and shown at once in
// the lobby's chat list as the user's own whisper.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

class QLineEdit;
class QLabel;

namespace zrt {

struct LobbyContext;

// Shows the user's own whisper in the lobby's chat list (the frame routes it to its chat
// list): sender name and id, the text.
using WhisperEcho =
    std::function<void(const QString& senderName, uint32_t senderId, const QString& text)>;

class WhisperDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxChars = 100;

    WhisperDialog(QWidget* owner, LobbyContext& ctx, const QString& playerName, uint32_t playerId,
                  WhisperEcho echo);

    QLineEdit* messageEdit() const { return edit_; }
    QLabel* nameField() const { return name_; }

    void accept() override;

  private:
    LobbyContext& ctx_;
    uint32_t playerId_;
    WhisperEcho echo_;
    QLabel* name_;
    QLineEdit* edit_;
};

}  // namespace zrt

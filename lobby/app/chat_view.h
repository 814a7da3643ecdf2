// ChatView: the bottom row of the lobby screen. The chat input with its "Whisper" box, the
// hall's chat list and the list of the other players present. Lines arrive from the session
// receiver through the lobby frame (which calls the methods below on the UI thread, in the
// order the events were posted); the input sends chat lines and whispers.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

#include "lobby/session/name_set.h"

class QCheckBox;
class QLineEdit;

namespace zrt {

struct LobbyContext;
class TwoColumnListBox;

class ChatView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 700;  // at creation
    static constexpr int kHeight = 160;
    static constexpr int kInputId = 300;
    static constexpr int kPlayerListId = 301;
    static constexpr int kChatListId = 302;
    static constexpr int kWhisperBoxId = 303;
    static constexpr int kColumnOffset = 105;
    static constexpr int kMaxSelectedTargets = 1024;

    // Creates the four controls and their tool-tips (the pane's set-up). The frame starts the
    // session receiver afterwards.
    ChatView(LobbyContext& ctx, QWidget* parent = nullptr);

    // The player list: "%s\t%d" lines kept in order of their text (ignoring case), each with
    // the player id as item data. Deleting removes the first line with that id.
    void addPlayerLine(uint32_t playerId, const QString& line);
    void deletePlayerLine(uint32_t playerId);
    // A chat line from a player: shown in the chat list only while the sender is still in the
    // PlayerTable (the posted line may arrive after he left).
    void showChatLine(uint32_t senderId, const QString& senderName, const QString& text,
                      bool whisper);
    // A whisper the user just sent, shown once as a whisper from the own player (the chat
    // input and the whisper dialog).
    void showOwnWhisper(const QString& text);
    // The in-game names changed: take a fresh copy and repaint the player list.
    void repaintPlayerList();
    // Entering a hall: both lists and the highlighted names start empty.
    void clearLists();

    QLineEdit* chatInput() const { return input_; }
    TwoColumnListBox* playerList() const { return players_; }
    TwoColumnListBox* chatList() const { return chat_; }
    QCheckBox* whisperBox() const { return whisper_; }
    // The names the player list draws highlighted (a copy of the hall's InGameNames).
    const NameSet& highlightedNames() const { return inGameNames_; }

    // Set by the frame: open the information dialog of a player (double clicks). Called only
    // for a player present in the PlayerTable.
    std::function<void(uint32_t)> openPlayerInfo;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void placeControls(int width, int height);
    void sendInput();
    void chatSelectionChanged();
    void playerSelectionChanged();
    void openInfo(uint32_t playerId);
    void focusInput();

    LobbyContext& ctx_;
    QLineEdit* input_ = nullptr;
    TwoColumnListBox* players_ = nullptr;
    TwoColumnListBox* chat_ = nullptr;
    QCheckBox* whisper_ = nullptr;
    NameSet inGameNames_;
    bool setUp_ = false;
    bool changingPlayers_ = false;  // lines added or deleted by the session, not the user
};

}  // namespace zrt

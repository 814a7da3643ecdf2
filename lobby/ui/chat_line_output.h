// ChatLineOutput: how one utterance becomes lines of a two-column chat list (the hall's chat
// list and the group dialog's): the sender's name in the first column of the first line, the
// text broken to the list's width, continuation lines indented, the oldest line pushed out
// once the list is full.
#pragma once

#include <QString>
#include <cstdint>

namespace zrt {

class TwoColumnListBox;

// A chat list keeps at most this many lines.
inline constexpr int kChatListLines = 1024;
// The item data of a chat line (and of a player-list line) is the player id under this role.
inline constexpr int kPlayerIdRole = Qt::UserRole;

// Appends the utterance: the first line "%s\t%s" (name, ":  %s" or "~  %s" for a whisper),
// every further line "\t%s" with the rest indented by three blanks (four for a whisper). Each
// line carries the sender id and becomes the list's top line. Breaks follow FitText, but a
// line always takes at least one character of the text, so a list too narrow for the prefix
// still ends.
void ChatLineOutput(TwoColumnListBox& list, const QString& senderName, uint32_t senderId,
                    const QString& text, bool whisper);

// The player id carried by a row of a chat or player list, 0 for a row outside the list.
uint32_t PlayerIdOfRow(const TwoColumnListBox& list, int row);

}  // namespace zrt

// LobbyRes/Server.txt: its first line names the first server the lobby contacts.
#pragma once

#include <QByteArray>
#include <optional>
#include <string>

namespace zrt {

// The host named by Server.txt: the bytes before the first carriage return among the first
// 256 bytes. Nothing when there is no carriage return there.
std::optional<std::string> ParseServerTxt(const QByteArray& firstBytes);

}  // namespace zrt

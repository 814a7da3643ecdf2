// What identifies the game to the lobby and to itself: its registration name and application
// GUID (the lobby's start-up check and the launcher look it up by these), and the one game
// session every launch of a group creates or joins.
#pragma once

namespace zrt {

// The registration file's name and the application GUID its Guid key must hold (the start-up
// check compares the text exactly).
inline constexpr const char* kGameAppName = "Zerathon";
inline constexpr const char* kGameGuid = "{5B0C2E71-9A4D-47F3-8E21-3C6D0B9A7F14}";

// Every group's game session: the same instance GUID in the host's create request and in every
// member's join request, and the name the host gives it.
inline constexpr const char* kGameInstanceGuid = "{0B7E95D4-3C61-4A2F-B8D0-71C4E2A9F653}";
inline constexpr const char* kGameSessionName = "ZRT Session";

}  // namespace zrt

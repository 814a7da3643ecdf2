// What the OK buttons of the new-player and login dialogs do, without the widgets: the checks
// before connecting, the request bytes, the reading of the server's replies, and the local
// profile changes that follow an accepted request. The dialogs run the exchange (the progress
// window of lobby/ui) and show the texts named here in the ErrorBox.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "lobby/data/profile_lists.h"

namespace zrt {

// Texts shown by the two dialogs.
inline constexpr char kMsgConnectionError[] = "Error Connecting to the Server.\nPlease Try Later";
inline constexpr char kMsgSpacesInLoginName[] = "Spaces are not allowed in Login Name";
inline constexpr char kMsgSpacesInEmail[] = "Spaces are not allowed in Email Address";
inline constexpr char kMsgNameTaken[] = "Your login name has been used by another player";
inline constexpr char kMsgMailFailed[] =
    "The Server couldn't send email to your\nemail address. Please try again later.";
inline constexpr char kMsgUnknownLoginName[] = "The Server cannot recognize your Login Name.";
inline constexpr char kMsgDataNotRecognised[] = "The Server cannot recognize your a/c's data.";
inline constexpr char kMsgIncorrectPassword[] = "Incorrect Password";
inline constexpr char kConnectingMessage[] = "Connecting to the Server...";

// The client's local calendar date, as the account figures carry it.
struct LocalDate {
    uint16_t year = 0;
    uint16_t month = 0;  // 1-12
    uint16_t day = 0;    // 1-31
};
LocalDate Today();

// ---- creating an account ----

// The address check of the OK-enabling rule: longer than 2 characters, holds "@", and neither
// begins nor ends with it.
bool IsPlausibleEmail(const std::string& email);

// The refusal that comes before any connection: spaces in the login name, then in the
// address. nullptr when both are free of spaces.
const char* SpaceRefusal(const std::string& loginName, const std::string& email);

// The 93-byte new-account request: score 100, the chosen portrait and country, the date, no
// games, 5 gemstones.
std::vector<uint8_t> NewAccountRequestBytes(const std::string& loginName, const std::string& email,
                                            uint16_t portrait, uint16_t country, LocalDate date);

// The text for a refused new account (outcome 1 or 3); nullptr for 0 (created) and for values
// the lobby does not know.
const char* NewAccountRefusalText(uint8_t outcome);

// The registered entry that replaces an unregistered one once its account exists.
ProfileEntry RegisteredEntryFor(const ProfileEntry& unregistered, const std::string& loginName,
                                uint16_t portrait, uint16_t country);

// After the server created the account: writes the lobby section into the profile file of
// unregistered entry `index`, then moves the entry to the registered list and makes it the
// current player. On a load or save failure nothing in `lists` changes. A full registered list
// is not grown past its 20 entries: the file is registered all the same and is listed once
// another entry makes room.
ProfileResult CompleteRegistration(const std::filesystem::path& gameDir, ProfileLists& lists,
                                   size_t index, const std::string& loginName, uint16_t portrait,
                                   uint16_t country);

// The profile list's item data: an unregistered entry carries its index (below 65536), a
// registered one (index + 1) * 65536.
inline constexpr uint32_t kRegisteredItemStep = 65536;
uint32_t ProfileItemData(bool registered, size_t index);
struct ProfileRow {
    bool registered = false;
    size_t index = 0;
};
ProfileRow ProfileRowOf(uint32_t itemData);

// ---- logging in ----

// The 55-byte login request from a registered entry as it stands, the date and the first 10
// characters of the password.
std::vector<uint8_t> LoginRequestBytes(const ProfileEntry& entry, const std::string& password,
                                       LocalDate date);

struct LoginVerdict {
    bool accepted = false;
    const char* refusalText = nullptr;  // for a refusal the lobby has words for
    int grant = 0;                      // 1..20 from the reply's first byte, else 0
};
// Reads a whole login reply (prefix included). A reply too short to hold the status byte is a
// refusal without words.
LoginVerdict ReadLoginReply(const std::vector<uint8_t>& reply);

// The login dialog closes by itself when a refusal comes on the third press of OK; every press
// counts, also one that ended in a connection error or a cancel.
inline constexpr int kClosingAttempt = 3;

}  // namespace zrt

// The OK handling of the new-player and login dialogs, apart from the widgets.
#include "lobby/net/account_actions.h"

#include <ctime>

#include "lobby/data/new_account.h"
#include "lobby/net/account_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/request_code.h"

namespace zrt {

LocalDate Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
            static_cast<uint16_t>(local.tm_mday)};
}

bool IsPlausibleEmail(const std::string& email) {
    return email.size() > 2 && email.find('@') != std::string::npos && email.front() != '@' &&
           email.back() != '@';
}

const char* SpaceRefusal(const std::string& loginName, const std::string& email) {
    if (loginName.find(' ') != std::string::npos) return kMsgSpacesInLoginName;
    if (email.find(' ') != std::string::npos) return kMsgSpacesInEmail;
    return nullptr;
}

std::vector<uint8_t> NewAccountRequestBytes(const std::string& loginName, const std::string& email,
                                            uint16_t portrait, uint16_t country, LocalDate date) {
    NewAccountRequest request;
    request.loginName = loginName.substr(0, kLoginNameMax);
    request.stats = newAccountStats(portrait, country, date.year, date.month, date.day);
    request.email = email.substr(0, kEmailMax);
    return encodeNewAccountRequest(request);
}

const char* NewAccountRefusalText(uint8_t outcome) {
    switch (outcome) {
        case static_cast<uint8_t>(NewAccountOutcome::NameTaken):
            return kMsgNameTaken;
        case static_cast<uint8_t>(NewAccountOutcome::MailFailed):
            return kMsgMailFailed;
        default:
            return nullptr;
    }
}

ProfileEntry RegisteredEntryFor(const ProfileEntry& unregistered, const std::string& loginName,
                                uint16_t portrait, uint16_t country) {
    ProfileEntry e;
    e.stem = unregistered.stem;
    e.saveFolder = unregistered.saveFolder;
    e.playerName = unregistered.playerName;
    e.registered = 1;
    e.loginName = loginName.substr(0, kMaxLoginNameChars);
    e.portrait = portrait;
    e.country = country;
    e.score = kNewAccountScore;
    e.won = 0;
    e.lost = 0;
    e.quit = 0;
    e.gems = kNewAccountGemstones;
    e.loginCount = 1;
    e.lobbyByte = 0;
    return e;
}

ProfileResult CompleteRegistration(const std::filesystem::path& gameDir, ProfileLists& lists,
                                   size_t index, const std::string& loginName, uint16_t portrait,
                                   uint16_t country) {
    if (index >= lists.unregistered.size()) return ProfileResult::LoadFailed;
    const ProfileResult saved =
        RegisterProfile(gameDir, lists, index, loginName, portrait, country);
    if (saved != ProfileResult::Ok) return saved;
    ProfileEntry entry =
        RegisteredEntryFor(lists.unregistered[index], loginName, portrait, country);
    lists.unregistered.erase(lists.unregistered.begin() + static_cast<std::ptrdiff_t>(index));
    lists.currentPlayer = entry;
    if (lists.registered.size() < kMaxProfilesPerList) lists.registered.push_back(std::move(entry));
    return ProfileResult::Ok;
}

uint32_t ProfileItemData(bool registered, size_t index) {
    return registered ? static_cast<uint32_t>(index + 1) * kRegisteredItemStep
                      : static_cast<uint32_t>(index);
}

ProfileRow ProfileRowOf(uint32_t itemData) {
    if (itemData < kRegisteredItemStep) return {false, itemData};
    return {true, itemData / kRegisteredItemStep - 1};
}

std::vector<uint8_t> LoginRequestBytes(const ProfileEntry& entry, const std::string& password,
                                       LocalDate date) {
    LoginRequest request;
    request.loginName = entry.loginName;
    request.stats.score = entry.score;
    request.stats.portrait = entry.portrait;
    request.stats.country = entry.country;
    request.stats.year = date.year;
    request.stats.month = date.month;
    request.stats.day = date.day;
    request.stats.won = entry.won;
    request.stats.lost = entry.lost;
    request.stats.quit = entry.quit;
    request.stats.gemstones = entry.gems;
    request.loginCounter = entry.loginCount;
    request.lobbyByte = entry.lobbyByte;
    request.password = password.substr(0, kPasswordMax);
    return encodeLoginRequest(request);
}

LoginVerdict ReadLoginReply(const std::vector<uint8_t>& reply) {
    LoginVerdict verdict;
    if (reply.size() < 3) return verdict;
    const uint8_t status = reply[2];
    if (status < kLoginUnknownName) {
        verdict.accepted = true;
        verdict.grant = grantOf(reply[0]);
        return verdict;
    }
    switch (status) {
        case kLoginUnknownName:
            verdict.refusalText = kMsgUnknownLoginName;
            break;
        case kLoginDataNotRecognised:
            verdict.refusalText = kMsgDataNotRecognised;
            break;
        case kLoginWrongPassword:
            verdict.refusalText = kMsgIncorrectPassword;
            break;
        default:
            break;
    }
    return verdict;
}

}  // namespace zrt

// LobbyBot: a second player for end-to-end tests, speaking the lobby protocol straight over
// playnet: it signs in to a real zrtserver (creating its account when needed), joins a hall,
// answers the welcome as a client does, and records the chat lines it receives.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lobby/session/lobby_messages.h"
#include "playnet/auto_reset_event.h"
#include "playnet/client.h"
#include "tests/support/server_process.h"

class LobbyBot {
  public:
    LobbyBot();
    ~LobbyBot();

    // Signs `name` in to `server` and joins the hall named `hallName`; waits (at most `waitMs`
    // for the hall part) for the welcome.
    bool join(const ServerProcess& server, const std::string& hallName, const std::string& name,
              int waitMs = 10000);
    // Receives for up to `ms` milliseconds, recording what arrives.
    void pump(int ms);
    // Pumps until a chat line with `text` has arrived, at most `ms`.
    bool waitForChat(const std::string& text, int ms);
    // Pumps until a lobby message of type `code` has arrived, at most `ms`.
    bool waitFor(uint32_t code, int ms);
    void say(const std::string& text, uint32_t target = 0);

    uint32_t id() const { return id_; }
    const std::vector<zrt::ChatMessage>& chats() const { return chats_; }
    // Whether a lobby message of this type code has arrived.
    bool received(uint32_t code) const;

  private:
    bool pumpUntil(const std::function<bool()>& done, int ms);

    playnet::AutoResetEvent event_;  // outlives the client's use of it
    std::unique_ptr<playnet::Client> client_;
    uint32_t id_ = 0;
    uint32_t server_ = 0;
    std::vector<zrt::ChatMessage> chats_;
    std::vector<uint32_t> codes_;
};

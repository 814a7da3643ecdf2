// Mailer: delivers a new account's password. Every message is written as a complete RFC 5322
// file into DIR/outbox/ (the default delivery); when an SMTP URL is configured it is also sent
// through libcurl, and delivery then counts only when the SMTP server accepted it. A message
// is on disk for good before delivery counts: written to a temporary file, synced, renamed
// into place, and the folder synced, so a crash or a full disk never leaves half a message or
// a message that vanishes after the account was confirmed.
#pragma once

#include <optional>
#include <string>

#include "server/server_config.h"

namespace zrtserver {

// Printable ASCII, one '@' with text on both sides, no characters that could break a header.
bool isDeliverableAddress(const std::string& address);

// The message (CRLF line ends) telling `loginName` its password.
std::string composePasswordMail(const std::string& from, const std::string& to,
                                const std::string& loginName, const std::string& password);

class Mailer {
  public:
    Mailer(MailConfig config, std::string outboxDir);

    // The outbox file that the mail of `loginName` will go to; nothing is written yet.
    std::string outboxFile(const std::string& loginName) const;
    // True when delivered to `file` (from outboxFile) and, with SMTP, to the SMTP server;
    // `note` says where or why not. The note never holds the password. Nothing is left in
    // the outbox when it fails.
    bool deliverPassword(const std::string& to, const std::string& loginName,
                         const std::string& password, const std::string& file, std::string& note);
    // Takes a mail out of the outbox again (its account is not kept); true when it is gone.
    bool discard(const std::string& file);
    // Removes the half-written messages a crash left in the outbox (never read by anyone).
    void clearTemporaries();

  private:
    bool writeOutbox(const std::string& file, const std::string& message);
    bool sendSmtp(const std::string& to, const std::string& message, std::string& note);

    MailConfig config_;
    std::string outboxDir_;
};

}  // namespace zrtserver

// Mailer: delivers a new account's password. Every message is written as a complete RFC 5322
// file into DIR/outbox/ (the default delivery); when an SMTP URL is configured it is also sent
// through libcurl, and delivery then counts only when the SMTP server accepted it.
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

    // True when delivered; `note` says where (the outbox file, the SMTP server) or why not.
    // The note never holds the password.
    bool deliverPassword(const std::string& to, const std::string& loginName,
                         const std::string& password, std::string& note);

  private:
    std::optional<std::string> writeOutbox(const std::string& loginName,
                                           const std::string& message);
    bool sendSmtp(const std::string& to, const std::string& message, std::string& note);

    MailConfig config_;
    std::string outboxDir_;
};

}  // namespace zrtserver

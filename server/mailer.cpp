// Password mail: composing, the outbox, and SMTP through libcurl.
#include "server/mailer.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace zrtserver {

namespace {

std::string rfc5322Date() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buf[64];
    std::strftime(buf, sizeof buf, "%a, %d %b %Y %H:%M:%S +0000", &tm);
    return buf;
}

std::string uniqueStem() {
    static std::atomic<unsigned> counter{0};
    auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                  std::chrono::system_clock::now().time_since_epoch())
                  .count();
    return std::to_string(us) + "-" + std::to_string(getpid()) + "-" +
           std::to_string(counter.fetch_add(1));
}

std::string domainOf(const std::string& address) {
    size_t at = address.find('@');
    return at == std::string::npos ? "localhost" : address.substr(at + 1);
}

// Writes all of `data` to `fd`; false on any error (a full disk among them).
bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool syncFolder(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

struct Upload {
    const std::string* data;
    size_t pos = 0;
};

size_t readUpload(char* buf, size_t size, size_t n, void* user) {
    auto* u = static_cast<Upload*>(user);
    size_t room = size * n;
    size_t left = u->data->size() - u->pos;
    size_t take = left < room ? left : room;
    std::memcpy(buf, u->data->data() + u->pos, take);
    u->pos += take;
    return take;
}

}  // namespace

bool isDeliverableAddress(const std::string& a) {
    if (a.empty() || a.size() > 50) return false;
    static const char kAllowed[] = "!#$%&'*+-/=?^_`{|}~.@";
    for (unsigned char c : a)
        if (!std::isalnum(c) && !std::strchr(kAllowed, c)) return false;
    size_t at = a.find('@');
    return at != std::string::npos && at > 0 && at + 1 < a.size() &&
           a.find('@', at + 1) == std::string::npos;
}

std::string composePasswordMail(const std::string& from, const std::string& to,
                                const std::string& loginName, const std::string& password) {
    std::string m;
    m += "Date: " + rfc5322Date() + "\r\n";
    m += "From: Zerathon Lobby <" + from + ">\r\n";
    m += "To: <" + to + ">\r\n";
    m += "Subject: Your Zerathon lobby password\r\n";
    m += "Message-ID: <" + uniqueStem() + "@" + domainOf(from) + ">\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Content-Type: text/plain; charset=us-ascii\r\n";
    m += "Content-Transfer-Encoding: 7bit\r\n";
    m += "\r\n";
    m += "Welcome to the Zerathon lobby.\r\n\r\n";
    m += "Login name: " + loginName + "\r\n";
    m += "Password: " + password + "\r\n\r\n";
    m += "Enter this password on the lobby's login screen.\r\n";
    return m;
}

Mailer::Mailer(MailConfig config, std::string outboxDir)
    : config_(std::move(config)), outboxDir_(std::move(outboxDir)) {}

std::string Mailer::outboxFile(const std::string& loginName) const {
    std::string stem = uniqueStem() + "-";
    for (char c : loginName) stem += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return (std::filesystem::path(outboxDir_) / (stem + ".eml")).string();
}

bool Mailer::deliverPassword(const std::string& to, const std::string& loginName,
                             const std::string& password, const std::string& file,
                             std::string& note) {
    if (!isDeliverableAddress(to)) {
        note = "address not deliverable";
        return false;
    }
    std::string message = composePasswordMail(config_.from, to, loginName, password);
    if (!writeOutbox(file, message)) {
        note = "cannot write to the outbox " + outboxDir_ + ": " + std::strerror(errno);
        return false;
    }
    note = "mail written to " + file;
    if (config_.smtpUrl.empty()) return true;
    std::string smtpNote;
    bool sent = sendSmtp(to, message, smtpNote);
    note += "; " + smtpNote;
    if (!sent) discard(file);
    return sent;
}

bool Mailer::discard(const std::string& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ec) return false;
    return syncFolder(outboxDir_);
}

void Mailer::clearTemporaries() {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(outboxDir_, ec))
        if (e.path().extension() == ".tmp") std::filesystem::remove(e.path(), ec);
}

bool Mailer::writeOutbox(const std::string& file, const std::string& message) {
    std::error_code ec;
    std::filesystem::create_directories(outboxDir_, ec);
    // A reader of the outbox never sees half a message, and a message renamed into place
    // survives a crash: the file is synced before the rename, the folder after it.
    std::string temp = std::filesystem::path(file).replace_extension(".tmp").string();
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = writeAll(fd, message) && ::fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) ok = false, err = errno;
    if (ok && ::rename(temp.c_str(), file.c_str()) != 0) ok = false, err = errno;
    if (ok && !syncFolder(outboxDir_)) ok = false, err = errno;
    if (ok) return true;
    ::unlink(temp.c_str());
    ::unlink(file.c_str());
    errno = err;
    return false;
}

bool Mailer::sendSmtp(const std::string& to, const std::string& message, std::string& note) {
    CURL* curl = curl_easy_init();
    if (!curl) {
        note = "smtp: cannot start libcurl";
        return false;
    }
    Upload upload{&message};
    std::string fromAddr = "<" + config_.from + ">";
    std::string toAddr = "<" + to + ">";
    curl_slist* rcpt = curl_slist_append(nullptr, toAddr.c_str());
    curl_easy_setopt(curl, CURLOPT_URL, config_.smtpUrl.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, fromAddr.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    if (!config_.smtpUser.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, config_.smtpUser.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, config_.smtpPassword.c_str());
    }
    CURLcode rc = curl_easy_perform(curl);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    if (rc != CURLE_OK) {
        note = std::string("smtp failed: ") + curl_easy_strerror(rc);
        return false;
    }
    note = "sent through " + config_.smtpUrl;
    return true;
}

}  // namespace zrtserver

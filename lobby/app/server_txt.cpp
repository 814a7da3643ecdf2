// Reading the first server's host out of Server.txt.
#include "lobby/app/server_txt.h"

namespace zrt {

std::optional<std::string> ParseServerTxt(const QByteArray& firstBytes) {
    QByteArray head = firstBytes.left(256);
    int cr = head.indexOf('\r');
    if (cr < 0) return std::nullopt;
    return head.left(cr).toStdString();
}

}  // namespace zrt

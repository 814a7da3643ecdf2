// ChatLineOutput: breaking an utterance into chat-list lines.
#include "lobby/ui/chat_line_output.h"

#include <QListWidgetItem>
#include <algorithm>

#include "lobby/ui/fit_text.h"
#include "lobby/ui/two_column_list_box.h"

namespace zrt {

namespace {

void appendLine(TwoColumnListBox& list, const QString& line, uint32_t senderId) {
    while (list.count() >= kChatListLines) delete list.takeItem(0);
    auto* item = new QListWidgetItem(line);
    item->setData(kPlayerIdRole, QVariant::fromValue<uint>(senderId));
    list.addItem(item);
    list.scrollToItem(item, QAbstractItemView::PositionAtTop);
}

}  // namespace

void ChatLineOutput(TwoColumnListBox& list, const QString& senderName, uint32_t senderId,
                    const QString& text, bool whisper) {
    const QString indent = whisper ? QStringLiteral("    ") : QStringLiteral("   ");
    QString body = (whisper ? QStringLiteral("~  ") : QStringLiteral(":  ")) + text;
    qsizetype prefix = 3;  // ":  " or "~  " on the first line, the indent after it
    bool first = true;
    for (;;) {
        qsizetype cut = FitText(list, body);
        // A break inside the prefix would hand the same text on again, behind a new indent,
        // for ever: each line keeps at least one character of the text.
        if (cut >= 0) cut = std::max(cut, prefix + 1);
        const bool more = cut >= 0 && cut < body.size();
        const QString rest = more ? body.mid(cut) : QString();
        if (more) body.truncate(cut);
        appendLine(list, first ? senderName + QLatin1Char('\t') + body : QLatin1Char('\t') + body,
                   senderId);
        if (!more) break;
        first = false;
        body = indent + rest;
        prefix = indent.size();
    }
}

uint32_t PlayerIdOfRow(const TwoColumnListBox& list, int row) {
    const QListWidgetItem* item = list.item(row);
    return item ? item->data(kPlayerIdRole).toUInt() : 0;
}

}  // namespace zrt

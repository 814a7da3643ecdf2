// AccountCreatedBox: 226 x 106 dialog units in Arial 9, OK at (91,86).
#include "lobby/ui/account_created_box.h"

#include <QLabel>
#include <QPushButton>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

AccountCreatedBox::AccountCreatedBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("AccountCreatedBox"));
    setWindowTitle(QStringLiteral("Thanks for playing !"));
    setModal(true);
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(DialogTemplateFont());
    setFixedSize(du.size(226, 106));

    static const char* const kLines[kLineCount] = {
        "Thanks for playing Zerathon Lobby ( Demo Version ) !",
        "The login password of your lobby account",
        "has been sent to your email address.",
        "You should receive it shortly.",
    };
    // The first line stands apart as the greeting; the other three read as one sentence.
    static const int kTops[kLineCount] = {12, 34, 46, 58};
    for (int i = 0; i < kLineCount; ++i) {
        QLabel* label = ValueField(this, du.rect(8, kTops[i], 210, 10), kPaintedTextYellow);
        label->setText(QString::fromLatin1(kLines[i]));
        label->setObjectName(QStringLiteral("line%1").arg(i + 1));
        label->setAlignment(Qt::AlignCenter);
        lines_[i] = label;
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setGeometry(du.rect(91, 86, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace zrt

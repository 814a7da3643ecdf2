// ConfirmBox: 198 x 75 dialog units, untitled; texts at (7,18) and (7,35), 184 x 10 each;
// YES at (33,54) and NO at (114,54).
#include "lobby/ui/confirm_box.h"

#include <QLabel>
#include <QPushButton>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {
namespace {

QLabel* MakeLine(QWidget* parent, const QString& text, const QRect& where, const char* name) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(ArialFont(10));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setAutoFillBackground(false);  // transparent over the grey
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, kPaintedTextYellow);
    label->setPalette(pal);
    label->setGeometry(where);
    return label;
}

}  // namespace

ConfirmBox::ConfirmBox(QWidget* owner, const QString& line1, const QString& line2)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("ConfirmBox"));
    SetNoTitle(this);
    setModal(true);
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(DialogTemplateFont());
    setFixedSize(du.size(198, 75));

    first_ = MakeLine(this, line1.left(kMaxFirstLine), du.rect(7, 18, 184, 10), "line1");
    second_ = MakeLine(this, line2, du.rect(7, 35, 184, 10), "line2");

    auto* yes = new QPushButton(QStringLiteral("YES"), this);
    yes->setObjectName(QStringLiteral("yes"));
    yes->setGeometry(du.rect(33, 54, 50, 14));
    yes->setDefault(true);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    auto* no = new QPushButton(QStringLiteral("NO"), this);
    no->setObjectName(QStringLiteral("no"));
    no->setGeometry(du.rect(114, 54, 50, 14));
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
}

bool ConfirmBox::Ask(QWidget* owner, const QString& line1, const QString& line2) {
    ConfirmBox box(owner, line1, line2);
    return box.exec() == QDialog::Accepted;
}

}  // namespace zrt

// GoodbyeBox: no title, two yellow-on-black lines and OK.
#include "lobby/ui/goodbye_box.h"

#include <QLabel>
#include <QPushButton>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

GoodbyeBox::GoodbyeBox(QWidget* owner) : QDialog(owner) {
    SetNoTitle(this);
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(font());
    setFixedSize(du.size(207, 79));

    YellowOnBlackLabel(this, "Zerathon - Lobby ( Demo Version )", QPoint(du.x(34), du.y(14)));
    YellowOnBlackLabel(this, "Thanks for Playing !", QPoint(du.x(72), du.y(43)));

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.rect(79, 59, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void GoodbyeBox::Show(QWidget* owner) {
    GoodbyeBox box(owner);
    box.exec();
}

}  // namespace zrt

// AboutBox. Laid out in the units of its own font, MS Sans Serif 10 (Liberation Sans stands in
// where that font is missing).
#include "lobby/ui/about_box.h"

#include <QLabel>
#include <QPushButton>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
    setWindowTitle("ZRTH Lobby - About");
    ApplyDialogLook(this);
    setFont(MsSansSerifFont(10));
    const DialogUnits du(font());
    setFixedSize(du.size(154, 92));

    YellowOnBlackLabel(this, "Zerathon - Lobby", QPoint(du.x(37), du.y(13)));
    YellowOnBlackLabel(this, "Demo Version", QPoint(du.x(55), du.y(32)));

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.rect(57, 73, 40, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutBox::Show(QWidget* owner) {
    AboutBox box(owner);
    box.exec();
}

}  // namespace zrt

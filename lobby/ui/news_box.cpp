// NewsBox.
#include "lobby/ui/news_box.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

NewsBox::NewsBox(QWidget* owner, const QString& text) : QDialog(owner) {
    setWindowTitle("ZRTH Lobby News");
    ApplyDialogLook(this);
    setFont(ArialFont(9));
    DialogUnits du(font());
    setFixedSize(du.size(261, 142));

    auto* label = new QLabel("A Message from the ZRTH Lobby Server has Arrived :", this);
    label->setGeometry(du.rect(45, 11, 200, 8));

    edit_ = new QPlainTextEdit(this);
    edit_->setGeometry(du.rect(28, 32, 204, 76));
    edit_->setReadOnly(true);
    edit_->setFont(ArialFont(10));
    ApplyYellowOnBlack(edit_);
    // Servers write line breaks as CR LF.
    QString shown = text;
    shown.replace("\r\n", "\n");
    edit_->setPlainText(shown);

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.rect(105, 121, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void NewsBox::Show(QWidget* owner, const QString& text) {
    NewsBox box(owner, text);
    box.exec();
}

QString NewsBox::text() const {
    return edit_->toPlainText();
}

}  // namespace zrt

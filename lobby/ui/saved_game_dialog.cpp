// SavedGameDialog: one "%s.SVM" line per local saved game, white on black.
#include "lobby/ui/saved_game_dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

SavedGameDialog::SavedGameDialog(QWidget* owner, const std::vector<std::string>& savedGames)
    : QDialog(owner) {
    setWindowTitle("Play Saved Game");
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(font());
    setFixedSize(du.size(195, 129));

    auto* first = new QLabel("You are Joining a Group that is Playing a Saved Game.", this);
    first->adjustSize();
    first->move(du.x(11), du.y(16));
    auto* second = new QLabel("Please Select a Local Saved Game to Use :", this);
    second->adjustSize();
    second->move(du.x(28), du.y(36));

    list_ = new QListWidget(this);
    list_->setGeometry(du.rect(48, 55, 100, 40));
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ApplyWhiteOnBlack(list_);
    for (const std::string& name : savedGames) list_->addItem(QString::fromLatin1(name) + ".SVM");
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    else
        list_->setEnabled(false);

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.rect(31, 108, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setGeometry(du.rect(114, 108, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int SavedGameDialog::choice() const {
    return list_->count() > 0 ? list_->currentRow() : -1;
}

std::optional<int> SavedGameDialog::Ask(QWidget* owner,
                                        const std::vector<std::string>& savedGames) {
    SavedGameDialog dialog(owner, savedGames);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

}  // namespace zrt

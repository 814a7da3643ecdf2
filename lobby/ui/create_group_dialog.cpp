// CreateGroupDialog: check boxes with their companions, tool-tips and the result.
#include "lobby/ui/create_group_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {
namespace {

QCheckBox* CheckBox(QWidget* parent, const DialogUnits& du, const QString& text, QRect units,
                    const QString& tip) {
    auto* box = new QCheckBox(text, parent);
    box->setGeometry(du.rect(units.x(), units.y(), units.width(), units.height()));
    box->setToolTip(tip);
    return box;
}

// Drop-down lists: white text on black while enabled.
void DropDownLook(QComboBox* list) {
    QPalette pal = list->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::Base, Qt::black);
        pal.setColor(g, QPalette::Button, Qt::black);
        pal.setColor(g, QPalette::Text, Qt::white);
        pal.setColor(g, QPalette::ButtonText, Qt::white);
    }
    list->setPalette(pal);
}

// The title edit: white text on RGB(50,50,50) while enabled, on RGB(0,0,90) while disabled.
void TitleLook(QLineEdit* edit) {
    QPalette pal = edit->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::Base, QColor(50, 50, 50));
        pal.setColor(g, QPalette::Text, Qt::white);
    }
    pal.setColor(QPalette::Disabled, QPalette::Base, QColor(0, 0, 90));
    pal.setColor(QPalette::Disabled, QPalette::Text, Qt::white);
    edit->setPalette(pal);
}

}  // namespace

CreateGroupDialog::CreateGroupDialog(QWidget* owner, const std::vector<std::string>& savedGames)
    : QDialog(owner) {
    setWindowTitle("Create Group");
    ApplyDialogLook(this);
    setAttribute(Qt::WA_AlwaysShowToolTips);  // the check boxes' tips
    setFont(DialogTemplateFont());
    const DialogUnits du(font());
    setFixedSize(du.size(219, 135));

    auto* label = new QLabel("Specify the Optional Settings of your Group :", this);
    label->setGeometry(du.rect(40, 9, 137, 8));

    inviteOnly_ = CheckBox(this, du, "Invitation Only", QRect(16, 26, 59, 10),
                           "Only invited players can join your group");
    savedGame_ = CheckBox(this, du, "Continue a Saved Game", QRect(16, 43, 93, 10),
                          "Continue an unfinished multiplayer game");
    setPlayers_ = CheckBox(this, du, "Set the Number of Players", QRect(16, 59, 98, 10),
                           "Cannot launch game unless your group has that number of players");
    setTitle_ = CheckBox(this, du, "Set your Group Title", QRect(16, 75, 77, 10),
                         "Specify your group's title that appear in the lobby");

    // The drop-down heights of the layout are the opened lists; closed, a list is one line.
    savedGameList_ = new QComboBox(this);
    savedGameList_->setGeometry(du.x(131), du.y(41), du.x(71), du.y(12));
    for (const std::string& name : savedGames)
        savedGameList_->addItem(QString::fromLatin1(name) + ".SVM");
    if (!savedGames.empty()) savedGameList_->setCurrentIndex(0);
    DropDownLook(savedGameList_);

    playersList_ = new QComboBox(this);
    playersList_->setGeometry(du.x(131), du.y(58), du.x(71), du.y(12));
    for (int n = 2; n <= 7; ++n) playersList_->addItem(QString::number(n));
    playersList_->setCurrentIndex(2);  // "4"
    DropDownLook(playersList_);

    titleEdit_ = new QLineEdit(this);
    titleEdit_->setGeometry(du.rect(23, 90, 172, 14));
    titleEdit_->setMaxLength(kTitleMaxChars);
    TitleLook(titleEdit_);

    savedGame_->setEnabled(!savedGames.empty());
    savedGameList_->setEnabled(false);
    playersList_->setEnabled(false);
    setTitle_->setChecked(true);
    titleEdit_->setEnabled(true);

    for (QCheckBox* box : {inviteOnly_, savedGame_, setPlayers_, setTitle_})
        connect(box, &QCheckBox::clicked, this, &CreateGroupDialog::boxToggled);

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.rect(43, 114, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setGeometry(du.rect(126, 114, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    titleEdit_->setFocus();
}

void CreateGroupDialog::boxToggled() {
    savedGameList_->setEnabled(savedGame_->isChecked());
    playersList_->setEnabled(setPlayers_->isChecked());
    titleEdit_->setEnabled(setTitle_->isChecked());
    titleEdit_->setFocus();
}

NewGroup CreateGroupDialog::settings() const {
    NewGroup group;
    group.inviteOnly = inviteOnly_->isChecked();
    group.savedGameChoice =
        savedGame_->isEnabled() && savedGame_->isChecked() ? savedGameList_->currentIndex() : -1;
    group.capacity = setPlayers_->isChecked()
                         ? static_cast<uint32_t>(playersList_->currentIndex() + 2)
                         : kCapacityNotSet;
    const QString title = titleEdit_->text();
    group.title = setTitle_->isChecked() && !title.isEmpty() ? title.toLatin1().toStdString()
                                                             : std::string(kDefaultTitle);
    return group;
}

}  // namespace zrt

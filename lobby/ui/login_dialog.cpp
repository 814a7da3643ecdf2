// LoginDialog: 223 x 133 dialog units in Arial 9.
#include "lobby/ui/login_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "lobby/data/profile_lists.h"
#include "lobby/net/account_actions.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/portrait_view.h"
#include "lobby/ui/server_request.h"

namespace zrt {
namespace {

constexpr int kLoginNameId = 1017;
constexpr int kPasswordId = 1005;
constexpr int kNationListId = 1014;
constexpr int kPortraitId = 1018;
constexpr int kPasswordFieldMax = 20;

}  // namespace

LoginDialog::LoginDialog(QWidget* parent, std::filesystem::path gameDir, size_t profileIndex)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      gameDir_(std::move(gameDir)),
      profileIndex_(profileIndex) {
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("Login Player"));
    setModal(true);
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(DialogTemplateFont());
    setFixedSize(du.size(223, 133));

    auto* prompt = new QLabel(QStringLiteral("Please Enter Password of :"), this);
    prompt->setGeometry(du.rect(15, 10, 119, 8));
    loginName_ = Tagged(new QLabel(this), "loginName", kLoginNameId);
    loginName_->setGeometry(du.rect(15, 25, 119, 8));
    password_ = Tagged(new QLineEdit(this), "password", kPasswordId);
    password_->setGeometry(du.rect(15, 39, 119, 12));
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(kPasswordFieldMax);
    ApplyYellowOnBlack(password_);
    auto* nationLabel =
        new QLabel(QStringLiteral("Select Favorite Nationality or Species :"), this);
    nationLabel->setGeometry(du.rect(15, 62, 118, 8));
    nations_ = Tagged(MakeNationList(this), "nationList", kNationListId);
    nations_->setGeometry(du.rect(15, 78, 74, 40));
    nations_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    portrait_ = Tagged(new PortraitView(this), "portrait", kPortraitId);
    portrait_->setGeometry(du.rect(101, 81, 29, 33));
    ok_ = Tagged(new QPushButton(QStringLiteral("OK"), this), "ok", 1);
    ok_->setGeometry(du.rect(158, 39, 50, 14));
    ok_->setDefault(true);
    cancel_ = Tagged(new QPushButton(QStringLiteral("Cancel"), this), "cancel", 2);
    cancel_->setGeometry(du.rect(158, 68, 50, 14));

    connect(ok_, &QPushButton::clicked, this, &LoginDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    const ProfileLists& lists = Profiles();
    if (profileIndex_ < lists.registered.size()) {
        const ProfileEntry& entry = lists.registered[profileIndex_];
        loginName_->setText(QString::fromLatin1(entry.loginName.c_str()));
        // A nation outside the table (from a damaged file) is shown as no choice and written
        // back as it was unless the player picks one.
        if (IsNationIndex(entry.portrait)) nations_->setCurrentRow(entry.portrait);
        nation_ = entry.portrait;
        portrait_->setPortrait(entry.portrait);
    }
    connect(nations_, &QListWidget::currentRowChanged, this, &LoginDialog::nationSelected);
    password_->setFocus();
    attempts_ = 0;
}

void LoginDialog::nationSelected(int row) {
    if (!IsNationIndex(row)) return;
    nation_ = row;
    portrait_->setPortrait(row);
}

void LoginDialog::accept() {
    ++attempts_;
    ProfileLists& lists = Profiles();
    if (profileIndex_ >= lists.registered.size()) return;

    ServerRequest request(this, QString::fromLatin1(kConnectingMessage), -1);
    request.setRequest(LoginRequestBytes(lists.registered[profileIndex_],
                                         password_->text().toLatin1().toStdString(), Today()));
    request.setPrefixWidth(2);
    if (!request.runForReply(QString::fromLatin1(kMsgConnectionError))) return;

    const LoginVerdict verdict = ReadLoginReply(request.reply());
    if (!verdict.accepted) {
        if (verdict.refusalText) ErrorBox::Show(this, QString::fromLatin1(verdict.refusalText));
        if (attempts_ == kClosingAttempt) done(QDialog::Rejected);
        return;
    }
    const ProfileResult saved =
        RecordLogin(gameDir_, lists, profileIndex_, static_cast<uint16_t>(nation_), verdict.grant);
    if (saved != ProfileResult::Ok) {
        ErrorBox::Show(this, QString::fromLatin1(ProfileErrorText(saved)));
        return;
    }
    QDialog::accept();
}

}  // namespace zrt

// CreatePlayerDialog: 239 x 239 dialog units in Arial 9.
#include "lobby/ui/create_player_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "lobby/data/country_table.h"
#include "lobby/data/profile_lists.h"
#include "lobby/net/account_actions.h"
#include "lobby/net/account_messages.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/portrait_view.h"
#include "lobby/ui/server_request.h"

namespace zrt {
namespace {

constexpr int kProfileListId = 1014;
constexpr int kLoginNameId = 1005;
constexpr int kEmailId = 1023;
constexpr int kCountryListId = 1020;
constexpr int kNationListId = 1021;
constexpr int kPortraitId = 1018;

// Yellow text on dark grey while enabled, on dark blue while disabled.
void ApplyEditColours(QLineEdit* edit) {
    QPalette pal = edit->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Text, kPaintedTextYellow);
        pal.setColor(group, QPalette::Base,
                     group == QPalette::Disabled ? QColor(0, 0, 90) : QColor(50, 50, 50));
    }
    edit->setPalette(pal);
}

std::string Latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

}  // namespace

CreatePlayerDialog::CreatePlayerDialog(QWidget* parent, std::filesystem::path gameDir)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      gameDir_(std::move(gameDir)) {
    setObjectName(QStringLiteral("CreatePlayerDialog"));
    setWindowTitle(QStringLiteral("Create Lobby Player"));
    setModal(true);
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    buildControls();
    fillLists();
}

void CreatePlayerDialog::buildControls() {
    const DialogUnits du(DialogTemplateFont());
    setFixedSize(du.size(239, 239));
    auto label = [&](const char* text, int x, int y, int w, int h) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setGeometry(du.rect(x, y, w, h));
    };

    label("Select Player Profile", 24, 10, 63, 8);
    profiles_ = Tagged(new QListWidget(this), "profileList", kProfileListId);
    profiles_->setGeometry(du.rect(12, 23, 89, 74));
    ApplyYellowOnBlack(profiles_);

    label("Login Name", 121, 41, 105, 8);
    loginName_ = Tagged(new QLineEdit(this), "loginName", kLoginNameId);
    loginName_->setGeometry(du.rect(121, 54, 105, 12));
    loginName_->setMaxLength(static_cast<int>(kMaxLoginNameChars));
    // Letters the player types become upper case; text the dialog sets itself stays as it is.
    connect(loginName_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int cursor = loginName_->cursorPosition();
        loginName_->setText(upper);
        loginName_->setCursorPosition(cursor);
    });
    ApplyEditColours(loginName_);

    label("Email Address ( Must enter correctly )", 12, 106, 214, 8);
    email_ = Tagged(new QLineEdit(this), "email", kEmailId);
    email_->setGeometry(du.rect(12, 120, 214, 12));
    email_->setMaxLength(50);
    ApplyEditColours(email_);

    label("Select Country", 37, 139, 46, 8);
    label("Select Favorite Nationality or Species", 110, 139, 116, 8);
    countries_ = Tagged(new QListWidget(this), "countryList", kCountryListId);
    countries_->setGeometry(du.rect(12, 155, 98, 49));
    ApplyYellowOnBlack(countries_);
    nations_ = Tagged(MakeNationList(this), "nationList", kNationListId);
    nations_->setGeometry(du.rect(158, 155, 68, 49));
    // List boxes scroll up and down only; long names are cut at the right edge.
    for (QListWidget* list : {profiles_, countries_, nations_})
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    portrait_ = Tagged(new PortraitView(this), "portrait", kPortraitId);
    portrait_->setGeometry(du.rect(121, 164, 28, 32));

    ok_ = Tagged(new QPushButton(QStringLiteral("OK"), this), "ok", 1);
    ok_->setGeometry(du.rect(47, 214, 50, 14));
    ok_->setDefault(true);
    cancel_ = Tagged(new QPushButton(QStringLiteral("Cancel"), this), "cancel", 2);
    cancel_->setGeometry(du.rect(142, 214, 50, 14));

    connect(ok_, &QPushButton::clicked, this, &CreatePlayerDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // Selection, not the current row: a click moves the current row before it selects.
    connect(profiles_, &QListWidget::itemSelectionChanged, this,
            &CreatePlayerDialog::profileSelected);
    connect(nations_, &QListWidget::currentRowChanged, this, &CreatePlayerDialog::nationSelected);
    connect(loginName_, &QLineEdit::textChanged, this, &CreatePlayerDialog::textChanged);
    connect(email_, &QLineEdit::textChanged, this, &CreatePlayerDialog::textChanged);
}

void CreatePlayerDialog::fillLists() {
    ok_->setEnabled(false);
    const ProfileLists& lists = Profiles();
    auto addProfile = [&](const ProfileEntry& entry, bool registered, size_t index) {
        auto* item = new QListWidgetItem(QString::fromLatin1(entry.playerName.c_str()));
        item->setData(Qt::UserRole, ProfileItemData(registered, index));
        profiles_->addItem(item);
    };
    for (size_t i = 0; i < lists.unregistered.size(); ++i)
        addProfile(lists.unregistered[i], false, i);
    for (size_t i = 0; i < lists.registered.size(); ++i) addProfile(lists.registered[i], true, i);

    for (const char* name : kCountryTable) countries_->addItem(QString::fromLatin1(name));
    countries_->setCurrentRow(kCountryDefault);
    nations_->setCurrentRow(0);
    nation_ = 0;
    portrait_->setPortrait(0);
    setFieldsEnabled(false);
}

void CreatePlayerDialog::setFieldsEnabled(bool enabled) {
    loginName_->setEnabled(enabled);
    email_->setEnabled(enabled);
    countries_->setEnabled(enabled);
    nations_->setEnabled(enabled);
}

bool CreatePlayerDialog::selectedProfile(bool& registered, size_t& index) const {
    const QList<QListWidgetItem*> selected = profiles_->selectedItems();
    if (selected.isEmpty()) return false;
    const QListWidgetItem* item = selected.front();
    const ProfileRow row = ProfileRowOf(item->data(Qt::UserRole).toUInt());
    registered = row.registered;
    index = row.index;
    return true;
}

void CreatePlayerDialog::profileSelected() {
    bool registered = false;
    size_t index = 0;
    if (!selectedProfile(registered, index)) return;
    const ProfileLists& lists = Profiles();
    if (!registered && index < lists.unregistered.size()) {
        const ProfileEntry& entry = lists.unregistered[index];
        loginName_->setText(QString::fromLatin1(entry.playerName.c_str())
                                .left(static_cast<int>(kMaxLoginNameChars)));
        email_->clear();
        countries_->setCurrentRow(kCountryDefault);
        countries_->scrollToItem(countries_->currentItem());
        nations_->setCurrentRow(0);
        nation_ = 0;
        portrait_->setPortrait(0);
        setFieldsEnabled(true);
        loginName_->selectAll();
        loginName_->setFocus();
    } else if (registered && index < lists.registered.size()) {
        // Shown for information only.
        const ProfileEntry& entry = lists.registered[index];
        loginName_->setText(QString::fromLatin1(entry.loginName.c_str()));
        email_->clear();
        // Figures from a file may lie outside the tables; such a row is left unselected.
        countries_->setCurrentRow(entry.country < kCountryCount ? entry.country : -1);
        if (countries_->currentItem()) countries_->scrollToItem(countries_->currentItem());
        nations_->setCurrentRow(IsNationIndex(entry.portrait) ? entry.portrait : -1);
        setFieldsEnabled(false);
    }
    ok_->setEnabled(false);
}

void CreatePlayerDialog::nationSelected(int row) {
    nation_ = row;
    portrait_->setPortrait(row);
}

void CreatePlayerDialog::textChanged() {
    bool registered = false;
    size_t index = 0;
    if (!selectedProfile(registered, index)) return;
    if (registered) return;
    const std::string login = Latin1(loginName_->text().left(static_cast<int>(kMaxLoginNameChars)));
    const std::string email = Latin1(email_->text().left(50));
    ok_->setEnabled(!login.empty() && IsPlausibleEmail(email));
}

void CreatePlayerDialog::accept() {
    const std::string login = Latin1(loginName_->text().left(static_cast<int>(kMaxLoginNameChars)));
    const std::string email = Latin1(email_->text().left(50));
    if (const char* refusal = SpaceRefusal(login, email)) {
        ErrorBox::Show(this, QString::fromLatin1(refusal));
        return;
    }
    const uint16_t portrait = static_cast<uint16_t>(IsNationIndex(nation_) ? nation_ : 0);
    const int countryRow = countries_->currentRow();
    const uint16_t country = static_cast<uint16_t>(countryRow >= 0 ? countryRow : kCountryDefault);

    ServerRequest request(this, QString::fromLatin1(kConnectingMessage), -1);
    request.setRequest(NewAccountRequestBytes(login, email, portrait, country, Today()));
    if (!request.runForReply(QString::fromLatin1(kMsgConnectionError))) return;
    const std::optional<uint8_t> outcome =
        decodeNewAccountOutcome(request.reply().data(), request.reply().size());
    if (!outcome) return;
    if (*outcome != static_cast<uint8_t>(NewAccountOutcome::Created)) {
        if (const char* text = NewAccountRefusalText(*outcome))
            ErrorBox::Show(this, QString::fromLatin1(text));
        return;
    }

    bool registered = false;
    size_t index = 0;
    if (!selectedProfile(registered, index) || registered) return;
    const ProfileResult saved =
        CompleteRegistration(gameDir_, Profiles(), index, login, portrait, country);
    if (saved != ProfileResult::Ok) {
        ErrorBox::Show(this, QString::fromLatin1(ProfileErrorText(saved)));
        return;
    }
    QDialog::accept();
}

}  // namespace zrt

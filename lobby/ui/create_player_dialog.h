// CreatePlayerDialog ("Create Lobby Player"): makes a lobby account for one of the local
// profiles. The player picks an unregistered profile, a login name, an e-mail address, a
// country and a favourite nation; OK asks the database server for the account (which mails the
// password) and, once it exists, registers the profile file and moves its entry to the
// registered list as the current player. The dialog ends with Accepted only then.
//
//   CreatePlayerDialog dialog(parent, gameDir);
//   if (dialog.exec() == QDialog::Accepted) ...   // Profiles().currentPlayer is the new account
#pragma once

#include <QDialog>
#include <filesystem>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace zrt {

class PortraitView;

class CreatePlayerDialog : public QDialog {
    Q_OBJECT
  public:
    // gameDir: the folder holding the profile files of Profiles().
    CreatePlayerDialog(QWidget* parent, std::filesystem::path gameDir);

    QListWidget* profileList() const { return profiles_; }
    QLineEdit* loginNameEdit() const { return loginName_; }
    QLineEdit* emailEdit() const { return email_; }
    QListWidget* countryList() const { return countries_; }
    QListWidget* nationList() const { return nations_; }
    PortraitView* portraitView() const { return portrait_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

  public slots:
    // The OK handler: the account request and, when it was granted, the local registration.
    void accept() override;

  private:
    void buildControls();
    void fillLists();
    void profileSelected();
    void nationSelected(int row);
    void textChanged();
    void setFieldsEnabled(bool enabled);
    // The selected row of the profile list, decoded; false when none is selected.
    bool selectedProfile(bool& registered, size_t& index) const;

    std::filesystem::path gameDir_;
    QListWidget* profiles_ = nullptr;
    QLineEdit* loginName_ = nullptr;
    QLineEdit* email_ = nullptr;
    QListWidget* countries_ = nullptr;
    QListWidget* nations_ = nullptr;
    PortraitView* portrait_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int nation_ = 0;
};

}  // namespace zrt

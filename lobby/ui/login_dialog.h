// LoginDialog ("Login Player"): signs in with registered profile k. The player types the
// password that the server mailed and may change the favourite nation; OK sends the login
// request and, when the server accepts it, stores the nation, the login and the gemstones
// granted in the profile file. The dialog ends with Accepted only then, and with Rejected when
// the server refuses on the third press of OK.
//
//   LoginDialog dialog(parent, gameDir, k);
//   if (dialog.exec() == QDialog::Accepted) ...   // Profiles().registered[k] is up to date
#pragma once

#include <QDialog>
#include <cstddef>
#include <filesystem>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zrt {

class PortraitView;

class LoginDialog : public QDialog {
    Q_OBJECT
  public:
    // profileIndex: the entry of Profiles().registered to sign in; gameDir: the folder holding
    // its profile file.
    LoginDialog(QWidget* parent, std::filesystem::path gameDir, size_t profileIndex);

    QLabel* loginNameLabel() const { return loginName_; }
    QLineEdit* passwordEdit() const { return password_; }
    QListWidget* nationList() const { return nations_; }
    PortraitView* portraitView() const { return portrait_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    int attempts() const { return attempts_; }
    int nation() const { return nation_; }

  public slots:
    // The OK handler: one login attempt.
    void accept() override;

  private:
    void nationSelected(int row);

    std::filesystem::path gameDir_;
    size_t profileIndex_;
    QLabel* loginName_ = nullptr;
    QLineEdit* password_ = nullptr;
    QListWidget* nations_ = nullptr;
    PortraitView* portrait_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int nation_ = 0;
    int attempts_ = 0;
};

}  // namespace zrt

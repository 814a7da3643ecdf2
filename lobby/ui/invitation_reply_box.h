// InvitationReplyBox: tells the user how an invited player answered.
#pragma once

#include <QDialog>

class QLabel;

namespace zrt {

inline constexpr const char* kInviteAcceptedText = "This player has accepted your invitation";
inline constexpr const char* kInviteDeclinedText = "This player has declined your invitation";

class InvitationReplyBox : public QDialog {
    Q_OBJECT
  public:
    InvitationReplyBox(QWidget* owner, const QString& playerName, bool accepted);

    QLabel* nameField() const { return name_; }
    QLabel* answerField() const { return answer_; }

    static void Show(QWidget* owner, const QString& playerName, bool accepted);

  private:
    QLabel* name_;
    QLabel* answer_;
};

}  // namespace zrt

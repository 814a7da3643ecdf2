// The launcher dialog, laid out from its template in the units of its font, MS Sans Serif 8.
// The controls are made in template order (which is also the keyboard order); the picture and
// its frame are then put beneath the buttons, which lie over the picture.
#include "startpad/launcher_dialog.h"

#include <QDir>
#include <QLabel>
#include <QProcess>

#include "lobby/platform/open_shortcut.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"
#include "startpad/launcher_resources.h"
#include "startpad/picture_button.h"

namespace zrt {

LauncherDialog::LauncherDialog()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("dialog%1").arg(kLauncherDialogId));
    setWindowTitle(QStringLiteral("Zerathon Installation Program"));
    setWindowIcon(LauncherIcon());
    ApplyDialogLook(this);
    setFont(MsSansSerifFont(8));
    const DialogUnits du(font());
    setFixedSize(du.size(292, 364));

    PictureButton* quit = addButton("quit", kQuitBitmap, QRect(17, 266, 257, 36));
    PictureButton* training = addButton("training", kTrainingBitmap, QRect(17, 154, 257, 34));
    PictureButton* multiplayer =
        addButton("multiplayer", kMultiplayerBitmap, QRect(17, 191, 257, 34));
    PictureButton* webSite = addButton("website", kWebSiteBitmap, QRect(17, 228, 257, 33));
    webSite->setText(QStringLiteral("ZERATHON WEB SITE "));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setGeometry(du.rect(7, 7, 278, 350));
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(QPixmap::fromImage(LoadLauncherBitmap(kBackgroundBitmap).image()));
    auto* frame = new QLabel(this);
    frame->setGeometry(picture->geometry());
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setStyleSheet(QStringLiteral("color: black"));
    frame->lower();
    picture->lower();

    connect(training, &QAbstractButton::clicked, this, [this] { startAndClose(kGameProgram); });
    connect(multiplayer, &QAbstractButton::clicked, this, [this] { startAndClose(kLobbyProgram); });
    connect(webSite, &QAbstractButton::clicked, this,
            [] { OpenShortcut(QDir::current().filePath(kHomePageShortcut).toStdString()); });
    connect(quit, &QAbstractButton::clicked, this, &QDialog::reject);
}

PictureButton* LauncherDialog::addButton(const char* name, int bitmapId, QRect units) {
    auto* button = new PictureButton(LoadLauncherBitmap(bitmapId).image(), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(
        DialogUnits(font()).rect(units.x(), units.y(), units.width(), units.height()));
    return button;
}

void LauncherDialog::startAndClose(const char* program) {
    // Named relative to the game folder, with no arguments but its own name; whether it
    // started is not looked at: the launcher's work is done either way.
    QProcess::startDetached(QStringLiteral("./") + QString::fromLatin1(program), {},
                            QDir::currentPath());
    accept();
}

}  // namespace zrt

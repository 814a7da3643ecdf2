// The succession of main windows.
#include "lobby/app/succession.h"

#include <QtGlobal>

#include "lobby/data/profile_lists.h"
#include "lobby/ui/login_window.h"

namespace zrt {

bool HandOverToHalls(LoginWindow&) {
    // The hall selection screen comes with the session layer; until then a sign-in ends the
    // program cleanly with its profile saved.
    qInfo("zrtlobby: %s signed in; the hall selection screen is not available yet",
          Profiles().currentPlayer.loginName.c_str());
    return true;
}

}  // namespace zrt

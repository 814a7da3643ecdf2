// The succession of main windows: what each closing main window opens next.
#pragma once

namespace zrt {

class LoginWindow;

// After a sign-in: prepares the session layer and opens the hall selection screen. False keeps
// the login window open.
bool HandOverToHalls(LoginWindow& login);

}  // namespace zrt

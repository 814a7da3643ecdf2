// `zrtserver ctl --data DIR COMMAND...`: the operator's command line. It sends the command to
// the running server's control socket in DIR; with no server running there, the account
// commands and the audit are carried out on the account store directly.
#pragma once

#include <string>
#include <vector>

namespace zrtserver {

// The process's exit status: 0 done, 1 refused or failed, 2 usage.
int runControl(const std::string& dataDir, const std::vector<std::string>& words);

}  // namespace zrtserver

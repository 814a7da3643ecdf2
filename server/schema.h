// The numbered schema migrations of the server database; append only.
#pragma once

#include <vector>

namespace zrtserver {

// Migration i brings the schema from version i to version i + 1.
const std::vector<const char*>& migrations();

}  // namespace zrtserver

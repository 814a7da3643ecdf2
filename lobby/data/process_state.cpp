// The process-wide state object.
#include "lobby/data/process_state.h"

namespace zrt {

ProcessState& Process() {
    static ProcessState state;
    return state;
}

}  // namespace zrt

// The process-wide state object.
#include "lobby/ui/process_state.h"

namespace zrt {

ProcessState& Process() {
    static ProcessState state;
    return state;
}

}  // namespace zrt

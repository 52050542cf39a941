#include "process_state.h"

#include "services.h"

namespace quorallion {

ProcessState& Process() {
    static ProcessState state;
    return state;
}

bool JobContext::Cancelled() const {
    return Process().cancel || (token && token->superseded);
}

}  // namespace quorallion

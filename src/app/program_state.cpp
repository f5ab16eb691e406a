#include "app/program_state.h"

namespace arbor {

ProgramState& G() {
    static ProgramState state;
    return state;
}

}  // namespace arbor

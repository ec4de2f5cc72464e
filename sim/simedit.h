// The simulator's own commands that change one view's state, for tests and
// the demo: checkouts, view-private files, unreachable storage, access time.
#pragma once

#include <string>
#include <vector>

namespace ccsim {

struct Context;

// Runs -sim-checkout, -sim-private, -sim-unreachable or -sim-accessed with
// its arguments (args[0] is the command). Returns false for another command.
// Throws CtError.
bool sim_edit(const Context &ctx, const std::vector<std::string> &args);

} // namespace ccsim

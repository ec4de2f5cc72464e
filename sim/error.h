// How a command fails.
#pragma once

#include <stdexcept>

namespace ccsim {

// A failure reported the way cleartool reports it: the text goes after
// "cleartool: Error: " on standard error and the command exits with 1.
struct CtError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace ccsim

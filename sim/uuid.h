// View uuids, random, in the form 3f1c0a2e.9b7d4c11.a2f0.5e:01:9c:7a:44:d3.
#pragma once

#include <random>
#include <string>

namespace ccsim {

// A command that makes views holds one source for all of them; each source
// is seeded afresh, so no state is shared between commands.
class UuidSource {
public:
    UuidSource();
    std::string next();

private:
    std::mt19937_64 rng_;
};

} // namespace ccsim

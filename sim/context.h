// What a command knows of the process it runs in.
#pragma once

#include <string>
#include <vector>

namespace ccsim {

struct Context {
    std::string home;   // registry directory
    std::string region; // the process's current region
    std::string user;   // owner of the views it makes
    std::string host;   // this machine's name
    // From the knobs, per command:
    bool old_dates = false;        // dates as 17-Jun-10.08:13:40
    std::vector<std::string> vobs; // the VOBs that exist, when not the default ones
};

} // namespace ccsim

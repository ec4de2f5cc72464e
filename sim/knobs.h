// Knobs that make the simulator slow, failing or dying on demand, and the
// counters that benchmarks and tests read back.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ccsim {

struct Knobs {
    long cost_start_ms = 0;                         // once per process start
    long cost_cmd_ms = 0;                           // per command
    long cost_tag_ms = 0;                           // per view tag named as an argument
    std::vector<std::string> fail;                  // subcommands that fail
    std::vector<std::string> fail_storage;          // subcommands that fail as if the storage were gone
    std::string die;                                // subcommand during which the process dies
    std::string die_after;                          // subcommand after whose change the process dies
    std::vector<std::pair<std::string, long>> slow; // extra sleep during a subcommand
    bool crlf = false;                              // standard output lines end in CR LF
    bool old_dates = false;                         // dates as 17-Jun-10.08:13:40 instead of ISO 8601
    std::vector<std::string> vobs;                  // VOB tags that exist, when set (else the default ones)

    // The environment's values, overridden by KEY=VALUE lines of $home/knobs.
    static Knobs read(const std::string &home);
    bool fails(std::string_view sub) const;
    long slow_ms(std::string_view sub) const;
};

struct Counters {
    long long process_starts = 0;
    long long commands = 0;
    long long tags = 0;
};

// Adds to the counters in $home/counters under an flock of that file.
void add_counters(const std::string &home, const Counters &delta);
Counters read_counters(const std::string &home);
void reset_counters(const std::string &home);

void sleep_ms(long ms);

} // namespace ccsim

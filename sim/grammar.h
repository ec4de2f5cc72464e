// cleartool's command-line grammar: words, subcommands and their options.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ccsim {

// A command line taken apart: subcommand, options (canonical names), the
// remaining words, and how many view tags it names.
struct Parsed {
    std::string sub;
    std::map<std::string, std::string> opts;
    std::vector<std::string> args;
    long tags_named = 0;
    std::string usage_error; // non-empty: the command line is not valid
    std::string usage;       // the subcommand's usage line
    bool has(const std::string &opt) const { return opts.count(opt) != 0; }
};

Parsed parse_command(const std::vector<std::string> &words);

// Splits a command line into words; a double-quoted run is one word.
std::vector<std::string> split_words(std::string_view line);

} // namespace ccsim

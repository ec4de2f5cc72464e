// cleartool's subcommands as the simulator answers them.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ccsim {

// Standard output is collected per command and written in one go; an error
// first writes what was collected, so that merged streams keep their order.
class Output {
public:
    bool crlf = false;
    void text(std::string_view s) { buf_ += s; }
    void line(std::string_view s)
    {
        buf_ += s;
        buf_ += '\n';
    }
    void error(std::string_view msg);     // "cleartool: Error: msg" on stderr
    void raw_error(std::string_view msg); // a whole line on stderr
    void flush();

private:
    std::string buf_;
};

struct Context {
    std::string home;   // registry directory
    std::string region; // the process's current region
    std::string user;   // owner of the views it makes
    std::string host;   // this machine's name
    // From the knobs, per command:
    bool old_dates = false;        // dates as 17-Jun-10.08:13:40
    std::vector<std::string> vobs; // the VOBs that exist, when not the default ones
};

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
// Runs a valid command; returns the exit status. Throws CtError.
int execute(const Parsed &p, const Context &ctx, Output &out);

// Splits a command line into words; a double-quoted run is one word.
std::vector<std::string> split_words(std::string_view line);

} // namespace ccsim

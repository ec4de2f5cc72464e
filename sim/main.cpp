// cleartool-sim: answers cleartool command lines from a registry of views
// kept under CCSIM_HOME. See README.md beside this file.

#include "commands.h"
#include "context.h"
#include "error.h"
#include "grammar.h"
#include "helpers.h"
#include "import.h"
#include "knobs.h"
#include "output.h"
#include "simedit.h"
#include "store.h"
#include "sys.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ccsim;

namespace {

std::string env_or(const char *name, const char *fallback)
{
    const char *v = std::getenv(name);
    return v && *v ? std::string(v) : std::string(fallback);
}

std::string current_user()
{
    if (const char *v = std::getenv("CCSIM_OWNER"); v && *v)
        return v;
    return sys::user_name();
}

std::string host_name()
{
    if (const char *v = std::getenv("CCSIM_HOST"); v && *v)
        return v;
    return sys::host_name();
}

[[noreturn]] void die_now(Output &out)
{
    out.flush();
    sys::crash();
}

// One command: knobs, counting, costs, simulated faults, then the command.
int run_one(const Context &ctx, const std::vector<std::string> &words, bool counts_start, Output &out)
{
    Knobs knobs = Knobs::read(ctx.home);
    out.crlf = knobs.crlf;
    Context cmd_ctx = ctx;
    cmd_ctx.old_dates = knobs.old_dates;
    cmd_ctx.vobs = knobs.vobs;
    Parsed p = parse_command(words);
    // An unknown command is refused before any work: it costs nothing and
    // is not counted (a client's end-of-answer line is one).
    const bool unknown = p.usage_error.rfind("Unrecognized command:", 0) == 0;
    if (!unknown) {
        add_counters(ctx.home, Counters{counts_start ? 1 : 0, 1, p.tags_named});
        sleep_ms((counts_start ? knobs.cost_start_ms : 0) + knobs.cost_cmd_ms +
                 knobs.cost_tag_ms * p.tags_named + knobs.slow_ms(p.sub));
    }

    if (!p.usage_error.empty()) {
        out.error(p.usage_error);
        if (!p.usage.empty())
            out.raw_error(p.usage);
        return 1;
    }
    if (knobs.fails(p.sub)) {
        out.error("Simulated failure of " + p.sub + ".");
        return 1;
    }
    for (const auto &sub : knobs.fail_storage) {
        if (sub == p.sub) {
            out.error(kStorageUnavailable);
            return 1;
        }
    }
    if (!knobs.die.empty() && knobs.die == p.sub)
        die_now(out);
    int status = 1;
    try {
        status = execute(p, cmd_ctx, out);
    } catch (const CtError &e) {
        out.error(e.what());
    }
    if (!knobs.die_after.empty() && knobs.die_after == p.sub)
        die_now(out);
    return status;
}

// Reads command lines from standard input until "quit" or end of input.
// With markers, each command is followed by "Command <n> returned status <s>".
int command_loop(const Context &ctx, bool markers)
{
    Knobs knobs = Knobs::read(ctx.home);
    add_counters(ctx.home, Counters{1, 0, 0});
    sleep_ms(knobs.cost_start_ms);

    bool prompt = sys::input_is_terminal();
    std::string pending;
    char buf[8192];
    long n = 0;
    Output out;
    for (;;) {
        if (prompt) {
            std::string p = markers ? "cleartool " + std::to_string(n + 1) + "> " : "cleartool> ";
            (void)!::write(1, p.data(), p.size());
        }
        std::size_t nl;
        while ((nl = pending.find('\n')) == std::string::npos) {
            ssize_t got = ::read(0, buf, sizeof buf);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            pending.append(buf, static_cast<std::size_t>(got));
        }
        if (nl == std::string::npos && pending.empty())
            return 0; // end of input
        std::string line = nl == std::string::npos ? pending : pending.substr(0, nl);
        pending.erase(0, nl == std::string::npos ? pending.size() : nl + 1);

        std::vector<std::string> words = split_words(line);
        if (words.empty())
            continue;
        if (words.size() == 1 && (words[0] == "quit" || words[0] == "q" || words[0] == "exit"))
            return 0;
        int status = run_one(ctx, words, false, out);
        ++n;
        if (markers)
            out.line("Command " + std::to_string(n) + " returned status " + std::to_string(status));
        out.flush();
    }
}

const char *const kHelp =
    "cleartool-sim: a stand-in for cleartool, registry in $CCSIM_HOME.\n"
    "  cleartool-sim <subcommand> [options]   one command\n"
    "  cleartool-sim -status                  commands from standard input, with status lines\n"
    "  cleartool-sim -sim-import FILE...      load views from import files\n"
    "  cleartool-sim -sim-mkregion REGION...  make empty regions\n"
    "  cleartool-sim -sim-checkout TAG PATH [reserved|unreserved]\n"
    "                                         check PATH out to the view of TAG\n"
    "  cleartool-sim -sim-private TAG PATH    add a view-private file to it\n"
    "  cleartool-sim -sim-unreachable TAG on|off\n"
    "                                         make its storage unreachable, or reachable again\n"
    "  cleartool-sim -sim-accessed TAG DATE   set its last access (2018-04-27T07:58:08Z, 0: none)\n"
    "  cleartool-sim -sim-counters            print process_starts=N commands=N tags=N\n"
    "  cleartool-sim -sim-reset-counters      set the counters to zero\n";

int sim_command(const Context &ctx, const std::vector<std::string> &args)
{
    const std::string &cmd = args[0];
    Output out;
    try {
        if (cmd == "-sim-import") {
            long total = 0;
            for (std::size_t i = 1; i < args.size(); ++i)
                total += import_views(ctx, args[i]);
            out.line("Imported " + std::to_string(total) + " view tags.");
        } else if (cmd == "-sim-mkregion") {
            Store store(ctx.home, Store::Mode::Write);
            Registry reg = store.load();
            for (std::size_t i = 1; i < args.size(); ++i)
                reg.add_region(args[i]);
            store.save(reg);
        } else if (cmd == "-sim-counters") {
            Counters c = read_counters(ctx.home);
            out.line("process_starts=" + std::to_string(c.process_starts) +
                     " commands=" + std::to_string(c.commands) + " tags=" + std::to_string(c.tags));
        } else if (cmd == "-sim-reset-counters") {
            reset_counters(ctx.home);
        } else if (!sim_edit(ctx, args)) {
            out.error("Unrecognized simulator command: \"" + cmd + "\"");
            out.raw_error(kHelp);
            return 1;
        }
    } catch (const CtError &e) {
        out.error(e.what());
        return 1;
    }
    out.flush();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    sys::binary_standard_streams();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "-sim-help" || args[0] == "--help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    Output out;
    const char *home = std::getenv("CCSIM_HOME");
    if (!home || !*home) {
        out.error("CCSIM_HOME is not set: the simulator has no view registry.");
        return 1;
    }
    Context ctx;
    ctx.home = home;
    ctx.region = env_or("CCSIM_REGION", "Windows");
    ctx.user = current_user();
    ctx.host = host_name();
    try {
        prepare_home(ctx.home, env_or("CCSIM_SHARED", "0") == "1");
    } catch (const CtError &e) {
        out.error(e.what());
        return 1;
    }

    if (!args.empty() && args[0].starts_with("-sim-"))
        return sim_command(ctx, args);
    if (args.empty())
        return command_loop(ctx, false);
    if (args[0] == "-status" && args.size() == 1)
        return command_loop(ctx, true);
    int status = run_one(ctx, args, true, out);
    out.flush();
    return status;
}

#include "simedit.h"

#include "context.h"
#include "error.h"
#include "store.h"
#include "util.h"

#include <ctime>

namespace ccsim {

namespace {

void need_args(const std::vector<std::string> &args, std::size_t min, std::size_t max, const char *usage)
{
    if (args.size() < min + 1 || args.size() > max + 1)
        throw CtError(std::string("Usage: cleartool ") + usage);
}

} // namespace

bool sim_edit(const Context &ctx, const std::vector<std::string> &args)
{
    const std::string &cmd = args[0];
    if (cmd == "-sim-checkout")
        need_args(args, 2, 3, "-sim-checkout TAG PATH [reserved|unreserved]");
    else if (cmd == "-sim-private")
        need_args(args, 2, 2, "-sim-private TAG PATH");
    else if (cmd == "-sim-unreachable")
        need_args(args, 2, 2, "-sim-unreachable TAG on|off");
    else if (cmd == "-sim-accessed")
        need_args(args, 2, 2, "-sim-accessed TAG 2018-04-27T07:58:08Z|0");
    else
        return false;
    const std::string &name = args[1], &value = args[2];

    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    long i = reg.find_tag(ctx.region, name);
    View *v = i < 0 ? nullptr : reg.view_for_update(reg.tags[static_cast<std::size_t>(i)].uuid);
    if (!v)
        throw CtError("No matching entries found for view tag \"" + name + "\".");

    if (cmd == "-sim-checkout") {
        Checkout c;
        c.view = v->uuid;
        c.vob = vob_of(value);
        c.path = value;
        c.reserved = args.size() < 4 || args[3] == "reserved";
        c.date = static_cast<std::int64_t>(std::time(nullptr));
        c.user = std::string(storage_name(ctx.user));
        if (c.vob.empty() || c.vob == c.path)
            throw CtError("Not an element in a VOB: \"" + value + "\".");
        if (args.size() == 4 && args[3] != "reserved" && args[3] != "unreserved")
            throw CtError("A checkout is \"reserved\" or \"unreserved\", not \"" + args[3] + "\".");
        for (std::size_t k = 0; k < reg.checkouts.size(); ++k)
            if (reg.checkouts[k].view == c.view && reg.checkout_at(k).path == c.path)
                throw CtError("\"" + value + "\" is already checked out in view \"" + name + "\".");
        reg.add_checkout(c);
    } else if (cmd == "-sim-private") {
        reg.add_private(v->uuid, value);
    } else if (cmd == "-sim-unreachable") {
        if (value != "on" && value != "off")
            throw CtError("Expected \"on\" or \"off\", not \"" + value + "\".");
        v->unreachable = value == "on";
    } else {
        std::int64_t t = value == "0" ? 0 : parse_time(value);
        if (t < 0)
            throw CtError("The access time must look like 2018-04-27T07:58:08Z, or be 0 for none.");
        v->accessed = t;
    }
    store.save(reg);
    return true;
}

} // namespace ccsim

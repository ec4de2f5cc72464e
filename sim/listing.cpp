// lsview, lsregion and hostinfo.

#include "commands.h"

#include "context.h"
#include "grammar.h"
#include "helpers.h"
#include "output.h"
#include "registry.h"
#include "store.h"
#include "util.h"

namespace ccsim {

namespace {

std::string view_attributes(const View &v)
{
    if (v.snapshot && v.ucm)
        return "snapshot,ucmview";
    if (v.snapshot)
        return "snapshot";
    if (v.ucm)
        return "ucmview";
    return {};
}

struct ListMode {
    bool shortf = false, longf = false, props = false, full = false;
};

void print_properties(Output &out, const View &v, bool full, bool old_dates)
{
    std::string who = user_part(v.owner);
    std::string by = " by " + who + "." + who + "@" + v.host;
    out.line("Created " + format_time(v.created, old_dates) + by);
    out.line("Last modified " + format_time(v.modified, old_dates) + by);
    if (v.accessed != 0)
        out.line("Last accessed " + format_time(v.accessed, old_dates) + by);
    if (v.cs_updated != 0)
        out.line("Last config spec update " + format_time(v.cs_updated, old_dates) + by);
    out.line("Text mode: unix");
    std::string props = v.snapshot ? "snapshot" : "dynamic";
    if (v.ucm)
        props += " ucmview";
    props += " readwrite";
    if (!v.snapshot)
        props += " nshareable_dos";
    out.line("Properties: " + props);
    if (full) {
        out.line("Owner: " + padded(v.owner, 16) + " : rwx (all)");
        out.line("Group: " + padded(who, 16) + " : --- (none)");
        out.line("Other: " + padded("", 16) + " : --- (none)");
    }
}

// The properties part needs the view server: a view that is not registered
// or whose storage is unavailable fails after its registry part.
bool print_tag_properties(Output &out, const Tag &t, const View *v, const ListMode &m, bool old_dates,
                          bool after_block)
{
    if (!v || v->unreachable) {
        out.error(v ? std::string(kStorageUnavailable) : view_not_found(t));
        return false;
    }
    if (after_block)
        out.line("");
    print_properties(out, *v, m.full, old_dates);
    return true;
}

// Returns false when the view's part failed (an error was printed).
bool print_tag(Output &out, const Tag &t, const View *v, const ListMode &m, bool old_dates)
{
    static const View kMissing{};
    const View &view = v ? *v : kMissing;
    if (m.shortf) {
        out.line(t.name);
        return true;
    }
    if (!m.longf) {
        char marker = view.active && !view.snapshot ? '*' : ' ';
        std::string gpath = t.gpath.empty() ? t.host + ":" + view.storage : t.gpath;
        char head[4] = {marker, ' ', 0, 0};
        out.text(head);
        out.text(padded(t.name, 20));
        out.text(" ");
        out.line(gpath);
        return !m.props || print_tag_properties(out, t, v, m, old_dates, false);
    }
    out.line("Tag: " + t.name + (t.comment.empty() ? std::string() : " " + quoted(t.comment)));
    out.line("  Global path: " + t.gpath);
    out.line("  Server host: " + t.host);
    out.line("  Region: " + t.region);
    out.line(std::string("  Active: ") + (view.active ? "YES" : "NO"));
    out.line("  View tag uuid:" + t.uuid);
    out.line("View on host: " + view.host);
    out.line("View server access path: " + view.storage);
    out.line("View uuid: " + view.uuid);
    std::string attrs = view_attributes(view);
    if (!attrs.empty())
        out.line("View attributes: " + attrs);
    out.line("View owner: " + view.owner);
    return !m.props || print_tag_properties(out, t, v, m, old_dates, true);
}

} // namespace

int lsview(const Parsed &p, const Context &ctx, Output &out)
{
    Registry reg = Store(ctx.home, Store::Mode::Read).load();
    std::string region = region_of(p, ctx);
    require_region(reg, region, ctx);

    ListMode m;
    m.shortf = p.has("-short");
    m.longf = p.has("-long");
    m.full = p.has("-full");
    m.props = p.has("-properties") || m.full;

    if (m.shortf && p.args.empty()) { // the fast path: no view needed
        for (const auto &t : reg.tags)
            if (t.region == region)
                out.line(t.name);
        return 0;
    }
    int status = 0;
    if (p.args.empty()) {
        ViewIndex index(reg);
        for (const auto &t : reg.tags)
            if (t.region == region && !print_tag(out, t, index.get(t.uuid), m, ctx.old_dates))
                status = 1;
        return status;
    }
    for (const auto &name : p.args) {
        long i = reg.find_tag(region, name);
        if (i < 0) {
            out.error(unknown_tag(name));
            status = 1;
            continue;
        }
        const Tag &t = reg.tags[static_cast<std::size_t>(i)];
        if (!print_tag(out, t, reg.view(t.uuid), m, ctx.old_dates))
            status = 1;
    }
    return status;
}

int lsregion(const Parsed &p, const Context &ctx, Output &out)
{
    Registry reg = Store(ctx.home, Store::Mode::Read).load();
    std::vector<std::string> all = reg.regions;
    if (!reg.has_region(ctx.region))
        all.insert(all.begin(), ctx.region);
    if (p.args.empty()) {
        for (const auto &r : all)
            out.line(r);
        return 0;
    }
    int status = 0;
    for (const auto &want : p.args) {
        bool found = false;
        for (const auto &r : all)
            found |= r == want;
        if (found) {
            out.line(want);
        } else {
            out.error("Unknown region " + quoted(want) + ".");
            status = 1;
        }
    }
    return status;
}

int hostinfo(const Parsed &p, const Context &ctx, Output &out)
{
    if (!p.has("-long")) {
        out.line(ctx.host + ": ClearCase simulator");
        return 0;
    }
    out.line("Client: " + ctx.host);
    out.line("  Product: ClearCase simulator");
    out.line("  Registry host: " + ctx.host);
    out.line("  Registry region: " + ctx.region);
    return 0;
}

} // namespace ccsim

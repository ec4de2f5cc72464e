#include "helpers.h"

#include "context.h"
#include "error.h"
#include "grammar.h"
#include "registry.h"
#include "util.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include "sys.h"

namespace ccsim {

namespace {

// The tag `name` of the current region; throws the unknown-tag error.
const Tag &find_tag_or_throw(const Registry &reg, const Context &ctx, std::string_view name)
{
    long i = reg.find_tag(ctx.region, name);
    if (i < 0)
        throw CtError(unknown_tag(name));
    return reg.tags[static_cast<std::size_t>(i)];
}

// The snapshot view whose root holds the working directory, or null. The
// simulator knows no other view context.
const View *current_view(const Registry &reg, std::string &cwd)
{
    cwd = sys::current_dir();
    if (cwd.empty())
        return nullptr;
    const View *found = nullptr;
    for (std::size_t i = 0; i < reg.views.size(); ++i) {
        const View &v = reg.view_at(i);
        const std::string &root = v.root;
        if (v.snapshot && !root.empty() && cwd.starts_with(root) &&
            (cwd.size() == root.size() || cwd[root.size()] == '/'))
            found = &v; // the newest one wins, as for mktag
    }
    return found;
}

} // namespace

std::int64_t now()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::string quoted(std::string_view s)
{
    return "\"" + std::string(s) + "\"";
}

std::string unknown_tag(std::string_view tag)
{
    return "No matching entries found for view tag " + quoted(tag) + ".";
}

std::string view_not_found(const Tag &t)
{
    return "Unable to find view by uuid:" + t.uuid + ", last known at " + quoted(t.host + ":" + t.gpath) +
           ".";
}

const View &tagged_view(const Registry &reg, const Context &ctx, std::string_view name, bool reachable)
{
    const Tag &t = find_tag_or_throw(reg, ctx, name);
    const View *v = reg.view(t.uuid);
    if (!v)
        throw CtError(view_not_found(t));
    if (reachable && v->unreachable)
        throw CtError(kStorageUnavailable);
    return *v;
}

View &tagged_view_for_update(Registry &reg, const Context &ctx, std::string_view name, bool reachable)
{
    const View &v = tagged_view(reg, ctx, name, reachable);
    return *reg.view_for_update(v.uuid);
}

const View &current_view_or_throw(const Registry &reg)
{
    std::string cwd = ".";
    const View *v = current_view(reg, cwd);
    if (!v)
        throw CtError("Unable to determine view for " + quoted(cwd) + ".");
    return *v;
}

std::vector<std::string> known_vobs(const Registry &reg, const Context &ctx, bool with_checkouts)
{
    std::vector<std::string> vobs = ctx.vobs;
    if (vobs.empty())
        vobs = {"/vobs/app", "/vobs/tools"};
    if (with_checkouts) {
        for (std::size_t i = 0; i < reg.checkouts.size(); ++i) {
            std::string vob = reg.checkout_at(i).vob;
            if (std::find(vobs.begin(), vobs.end(), vob) == vobs.end())
                vobs.push_back(std::move(vob));
        }
    }
    return vobs;
}

std::vector<std::string> checkout_vobs(const Registry &reg, std::string_view uuid)
{
    std::vector<std::string> vobs;
    for (std::size_t i = 0; i < reg.checkouts.size(); ++i) {
        if (reg.checkouts[i].view != uuid)
            continue;
        std::string vob = reg.checkout_at(i).vob;
        if (std::find(vobs.begin(), vobs.end(), vob) == vobs.end())
            vobs.push_back(std::move(vob));
    }
    std::sort(vobs.begin(), vobs.end());
    return vobs;
}

long count_checkouts(const Registry &reg, std::string_view uuid)
{
    return static_cast<long>(std::count_if(reg.checkouts.begin(), reg.checkouts.end(),
                                           [&](const Record &r) { return r.view == uuid; }));
}

std::string region_of(const Parsed &p, const Context &ctx)
{
    auto it = p.opts.find("-region");
    return it == p.opts.end() ? ctx.region : it->second;
}

void require_region(const Registry &reg, const std::string &region, const Context &ctx)
{
    if (region != ctx.region && !reg.has_region(region))
        throw CtError("Unknown region " + quoted(region) + ".");
}

std::string user_part(std::string_view owner)
{
    return std::string(storage_name(owner));
}

std::string padded(std::string_view s, std::size_t width)
{
    std::string r(s);
    if (r.size() < width)
        r.append(width - r.size(), ' ');
    return r;
}

const std::string &tag_option(const Parsed &p)
{
    auto it = p.opts.find("-tag");
    if (it == p.opts.end())
        throw CtError("A view tag must be given with -tag.");
    return it->second;
}

std::string opt_or(const Parsed &p, const char *name, const std::string &fallback)
{
    auto it = p.opts.find(name);
    return it == p.opts.end() ? fallback : it->second;
}

} // namespace ccsim

// Making and removing views and tags: mkview, mktag, rmview, rmtag and
// unregister.

#include "commands.h"

#include "context.h"
#include "error.h"
#include "grammar.h"
#include "helpers.h"
#include "output.h"
#include "registry.h"
#include "store.h"
#include "sys.h"
#include "util.h"
#include "uuid.h"

#include <algorithm>
#include <cstdlib>

namespace ccsim {

namespace {

// What an mkview command line asks for.
struct NewView {
    std::string tag;
    std::string region;
    bool snapshot = false;
    std::string stream;  // UCM stream to attach to, or empty
    std::string storage; // -vws, else the path argument
    std::string snapdir; // a snapshot view's directory: the path argument without ".vws"
    std::string host;    // -host, else a UNC storage path's host, else this machine
    std::string gpath;
    std::string comment;
};

NewView new_view_of(const Parsed &p, const Context &ctx)
{
    NewView n;
    n.tag = tag_option(p);
    n.region = region_of(p, ctx);
    n.snapshot = p.has("-snapshot");
    n.stream = opt_or(p, "-stream", "");
    n.storage = opt_or(p, "-vws", p.args[0]);
    n.snapdir = p.args[0];
    if (!p.has("-vws") && n.snapdir.size() > 4 && n.snapdir.ends_with(".vws"))
        n.snapdir.resize(n.snapdir.size() - 4);
    n.host = opt_or(p, "-host", unc_host(n.storage));
    if (n.host.empty())
        n.host = ctx.host;
    n.gpath = opt_or(p, "-gpath", n.storage);
    n.comment = opt_or(p, "-tcomment", "");
    return n;
}

// A new view is active, as one whose server was just started, counts as
// accessed at its creation, and has the default config spec.
View make_view(const NewView &n, const Context &ctx)
{
    View v;
    v.uuid = UuidSource().next();
    v.host = n.host;
    v.storage = n.storage;
    v.owner = ctx.user;
    v.stream = n.stream;
    v.snapshot = n.snapshot;
    v.ucm = !n.stream.empty();
    v.active = true;
    v.created = v.modified = v.cs_updated = v.accessed = now();
    if (n.snapshot) { // as the working directory will name it, when it exists
        v.root = sys::real_path(n.snapdir);
    }
    v.config_spec = "element * CHECKEDOUT\nelement * /main/LATEST\n";
    return v;
}

void add_new_view(const NewView &n, const Context &ctx)
{
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    require_region(reg, n.region, ctx);
    if (reg.find_tag(n.region, n.tag) >= 0)
        throw CtError("A registry entry already exists for " + quoted(n.tag) + ".");
    for (std::size_t i = 0; i < reg.views.size(); ++i)
        if (reg.storage_at(i) == n.storage)
            throw CtError("Unable to create view " + quoted(n.storage) +
                          ": storage directory already exists.");
    View v = make_view(n, ctx);
    reg.add_region(n.region);
    reg.tags.push_back(Tag{n.region, n.tag, v.uuid, n.host, n.gpath, n.comment});
    reg.add_view(std::move(v));
    store.save(reg);
}

// The rights lines appear only for a Unix storage path.
void print_created(const NewView &n, const Context &ctx, Output &out)
{
    out.line("Created view.");
    out.line("Host-local path: " + n.host + ":" + n.storage);
    out.line("Global path:     " + n.gpath);
    if (!n.storage.empty() && n.storage[0] == '/') {
        std::string who = user_part(ctx.user);
        out.line("It has the following rights:");
        out.line("User : " + who + " : rwx");
        out.line("Group: " + who + " : ---");
        out.line("Other:          : ---");
    }
    if (n.snapshot)
        out.line("Created snapshot view directory " + quoted(n.snapdir) + ".");
    if (!n.stream.empty())
        out.line("Attached view to stream " + quoted(n.stream) + ".");
}

std::string refusal(std::string_view view, long checkouts)
{
    return "Unable to remove view " + quoted(view) + ": it has " + std::to_string(checkouts) +
           (checkouts == 1 ? " checkout." : " checkouts.");
}

// rmview -all -uuid U: the view's records in every VOB, and the view itself
// when it is still registered, without contacting its server.
int rmview_uuid(const Parsed &p, const Context &ctx, Output &out)
{
    if (p.has("-tag"))
        throw CtError("Specify a view by -tag or by -uuid, not both.");
    if (!p.has("-all"))
        throw CtError("A view's references can be removed by uuid only from all VOBs: -all is required.");
    const std::string &uuid = p.opts.at("-uuid");
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    const View *v = reg.view(uuid);
    if (!v)
        v = reg.unregistered_view(uuid);
    long checkouts = count_checkouts(reg, uuid);
    bool privates = std::any_of(reg.privates.begin(), reg.privates.end(),
                                [&](const Record &r) { return r.view == uuid; });
    if (!v && checkouts == 0 && !privates)
        throw CtError("No view with uuid " + quoted(uuid) + " is registered or known to any VOB.");
    if (checkouts > 0 && !p.has("-force"))
        throw CtError(refusal(uuid, checkouts));
    std::string where = v ? v->host + ":" + v->storage : uuid;
    std::vector<std::string> vobs = checkout_vobs(reg, uuid);
    if (reg.view(uuid)) {
        reg.remove_view(uuid);
    } else { // unregistered: the VOBs' records go, its tags and registry record stay
        std::erase_if(reg.checkouts, [&](const Record &r) { return r.view == uuid; });
        std::erase_if(reg.privates, [&](const Record &r) { return r.view == uuid; });
    }
    store.save(reg);
    for (const auto &vob : vobs)
        out.line(" Removed references to view " + quoted(where) + " from VOB " + quoted(vob) + ".");
    return 0;
}

} // namespace

int mkview(const Parsed &p, const Context &ctx, Output &out)
{
    NewView n = new_view_of(p, ctx);
    add_new_view(n, ctx);
    print_created(n, ctx, out);
    return 0;
}

int mktag(const Parsed &p, const Context &ctx, Output &)
{
    if (!p.has("-view"))
        throw CtError("Only view tags can be made: -view is required.");
    const std::string &name = tag_option(p);
    std::string region = region_of(p, ctx);
    const std::string &storage = p.args[0];
    std::string_view wanted = storage_name(storage);

    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    require_region(reg, region, ctx);
    const View *view = nullptr;
    for (std::size_t i = 0; i < reg.views.size(); ++i) // the newest view of that storage name
        if (storage_name(reg.storage_at(i)) == wanted)
            view = &reg.view_at(i);
    if (!view)
        throw CtError("No view found at storage location " + quoted(storage) + ".");
    long existing = reg.find_tag(region, name);
    if (existing >= 0 && !p.has("-replace"))
        throw CtError("A registry entry already exists for " + quoted(name) + ".");
    Tag t{region,
          name,
          view->uuid,
          opt_or(p, "-host", view->host),
          opt_or(p, "-gpath", storage),
          opt_or(p, "-tcomment", "")};
    if (existing >= 0)
        reg.tags[static_cast<std::size_t>(existing)] = std::move(t);
    else
        reg.tags.push_back(std::move(t));
    reg.add_region(region);
    store.save(reg);
    return 0;
}

int rmview(const Parsed &p, const Context &ctx, Output &out)
{
    if (p.has("-uuid"))
        return rmview_uuid(p, ctx, out);
    const std::string &name = tag_option(p);
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    const View &v = tagged_view(reg, ctx, name, true);
    std::string uuid = v.uuid;
    long checkouts = count_checkouts(reg, uuid);
    if (checkouts > 0 && !p.has("-force"))
        throw CtError(refusal(name, checkouts));
    std::string where = v.host + ":" + v.storage;
    std::vector<std::string> vobs = checkout_vobs(reg, uuid);
    reg.remove_view(uuid);
    store.save(reg);
    for (const auto &vob : vobs) {
        out.line("Removing references from VOB " + quoted(vob) + " ...");
        out.line("Removed references to view " + quoted(where) + " from VOB " + quoted(vob) + ".");
    }
    return 0;
}

// Takes the view object out of the registry; its tags (if any are left) and
// the VOBs' records of it stay, for rmview -all -uuid to find.
int unregister(const Parsed &p, const Context &ctx, Output &)
{
    if (!p.has("-view"))
        throw CtError("Only views can be unregistered: -view is required.");
    auto it = p.opts.find("-uuid");
    if (it == p.opts.end())
        throw CtError("A view must be given with -uuid.");
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    if (!reg.unregister(it->second))
        throw CtError("Unable to unregister view " + quoted(it->second) + ": ClearCase object not found.");
    store.save(reg);
    return 0;
}

int rmtag(const Parsed &p, const Context &ctx, Output &out)
{
    if (!p.has("-view"))
        throw CtError("Only view tags can be removed: -view is required.");
    bool all = p.has("-all");
    std::string region = region_of(p, ctx);
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    int status = 0;
    for (const auto &name : p.args) {
        auto before = reg.tags.size();
        std::erase_if(reg.tags, [&](const Tag &t) { return t.name == name && (all || t.region == region); });
        if (reg.tags.size() == before) {
            out.error("Unable to remove " + quoted(name) + ": ClearCase object not found.");
            status = 1;
        }
    }
    store.save(reg);
    return status;
}

} // namespace ccsim

#include "commands.h"

#include "configspec.h"
#include "error.h"
#include "store.h"
#include "util.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <unordered_map>

namespace ccsim {

namespace {

void write_all(int fd, std::string_view s)
{
    while (!s.empty()) {
        ssize_t n = ::write(fd, s.data(), s.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        s.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string to_crlf(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 32);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r'))
            out += '\r';
        out += s[i];
    }
    return out;
}

// ---- command-line grammar ------------------------------------------------

struct OptionDef {
    const char *name; // canonical, with its dash
    std::size_t min;  // shortest accepted abbreviation, dash included
    bool value;       // takes the next word as its value
};

enum class Tags { None, TagOption, Args };

struct SubGrammar {
    const char *name;
    std::vector<OptionDef> opts;
    std::size_t min_args, max_args;
    Tags tags;
    const char *usage;
};

constexpr std::size_t kMany = static_cast<std::size_t>(-1);

const std::vector<SubGrammar> &subcommands()
{
    static const std::vector<SubGrammar> grammars = {
        {"lsview",
         {{"-short", 2, false},
          {"-long", 2, false},
          {"-properties", 4, false},
          {"-full", 3, false},
          {"-region", 4, true},
          {"-quick", 2, false}},
         0,
         kMany,
         Tags::Args,
         "Usage: lsview [-short | -long] [-properties [-full]] [-region region-name] [view-tag ...]"},
        {"lsregion",
         {{"-short", 2, false}},
         0,
         kMany,
         Tags::None,
         "Usage: lsregion [-short] [region-name ...]"},
        {"mkview",
         {{"-tag", 4, true},
          {"-snapshot", 4, false},
          {"-stream", 4, true},
          {"-region", 4, true},
          {"-host", 3, true},
          {"-hpath", 3, true},
          {"-gpath", 3, true},
          {"-vws", 4, true},
          {"-tcomment", 4, true},
          {"-tmode", 4, true},
          {"-shareable_dos", 4, false},
          {"-nshareable_dos", 4, false}},
         1,
         1,
         Tags::TagOption,
         "Usage: mkview -tag view-tag [-snapshot] [-stream stream-selector] [-region region-name] "
         "[-host hostname] [-gpath global-pname] [-tcomment tag-comment] [-vws view-storage-pname] "
         "{view-storage-pname | snapshot-view-pname}"},
        {"mktag",
         {{"-view", 3, false},
          {"-tag", 4, true},
          {"-region", 4, true},
          {"-host", 3, true},
          {"-hpath", 3, true},
          {"-gpath", 3, true},
          {"-tcomment", 4, true},
          {"-replace", 4, false}},
         1,
         1,
         Tags::TagOption,
         "Usage: mktag -view -tag view-tag [-tcomment tag-comment] [-replace] [-region region-name] "
         "[-host hostname] [-gpath global-pname] view-storage-pname"},
        {"rmview",
         {{"-tag", 4, true}, {"-force", 2, false}, {"-all", 4, false}, {"-uuid", 4, true}},
         0,
         0,
         Tags::TagOption,
         "Usage: rmview [-force] {-tag view-tag | -all -uuid view-uuid}"},
        {"rmtag",
         {{"-view", 3, false}, {"-region", 4, true}, {"-all", 4, false}},
         1,
         kMany,
         Tags::Args,
         "Usage: rmtag -view [-all | -region region-name] view-tag ..."},
        {"unregister",
         {{"-view", 3, false}, {"-uuid", 4, true}},
         0,
         0,
         Tags::None,
         "Usage: unregister -view -uuid view-uuid"},
        {"catcs", {{"-tag", 4, true}}, 0, 0, Tags::TagOption, "Usage: catcs -tag view-tag"},
        {"setcs",
         {{"-tag", 4, true}, {"-force", 2, false}},
         1,
         1,
         Tags::TagOption,
         "Usage: setcs [-tag view-tag] [-force] config-spec-pname"},
        {"lsco",
         {{"-avobs", 4, false},
          {"-all", 4, false},
          {"-cview", 4, false},
          {"-me", 3, false},
          {"-user", 4, true},
          {"-short", 2, false},
          {"-long", 2, false},
          {"-fmt", 4, true}},
         0,
         kMany,
         Tags::None,
         "Usage: lsco [-avobs | -all] [-cview] [-me | -user login-name] [-short | -long | -fmt format] "
         "[pname ...]"},
        {"lsprivate",
         {{"-tag", 4, true},
          {"-other", 4, false},
          {"-co", 3, false},
          {"-do", 3, false},
          {"-short", 2, false},
          {"-long", 2, false}},
         0,
         0,
         Tags::TagOption,
         "Usage: lsprivate -tag view-tag [-co] [-do] [-other] [-short | -long]"},
        {"startview", {}, 1, kMany, Tags::Args, "Usage: startview view-tag ..."},
        {"endview", {{"-server", 4, false}}, 1, kMany, Tags::Args, "Usage: endview [-server] view-tag ..."},
        {"hostinfo", {{"-long", 2, false}}, 0, kMany, Tags::None, "Usage: hostinfo [-long] [hostname ...]"},
    };
    return grammars;
}

const OptionDef *match_option(const SubGrammar &grammar, std::string_view word)
{
    for (const auto &o : grammar.opts) {
        std::string_view full(o.name);
        if (word.size() >= o.min && word.size() <= full.size() && full.substr(0, word.size()) == word)
            return &o;
    }
    return nullptr;
}

// ---- shared helpers --------------------------------------------------------

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

// What every operation that needs the view server says about a view whose
// storage cannot be reached.
const char *const kStorageUnavailable =
    "Operation \"view_get_prop(VIEW_PROP_WEBVIEW)\" failed: view storage directory or control files "
    "unavailable -- additional information may be present in the view server host's view log.";

// A tag whose view is no longer registered.
std::string view_not_found(const Tag &t)
{
    return "Unable to find view by uuid:" + t.uuid + ", last known at " + quoted(t.host + ":" + t.gpath) +
           ".";
}

// The tag `name` of the current region; throws the unknown-tag error.
const Tag &find_tag_or_throw(const Registry &reg, const Context &ctx, std::string_view name)
{
    long i = reg.find_tag(ctx.region, name);
    if (i < 0)
        throw CtError(unknown_tag(name));
    return reg.tags[static_cast<std::size_t>(i)];
}

// The view of the tag `name` in the current region, which must be registered
// and, with `reachable`, have its storage available.
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

// The snapshot view whose root holds the working directory, or null. The
// simulator knows no other view context.
const View *current_view(const Registry &reg, std::string &cwd)
{
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof buf))
        return nullptr;
    cwd = buf;
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

const View &current_view_or_throw(const Registry &reg)
{
    std::string cwd = ".";
    const View *v = current_view(reg, cwd);
    if (!v)
        throw CtError("Unable to determine view for " + quoted(cwd) + ".");
    return *v;
}

// The VOB tags that exist: CCSIM_VOBS or /vobs/app and /vobs/tools, and with
// `with_checkouts` those that hold a checkout.
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

// The VOBs a view holds checkouts in, sorted.
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

// "DOM\jdoe" and "nis/jdoe" -> "jdoe".
std::string user_part(std::string_view owner)
{
    return std::string(storage_name(owner));
}

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

std::string padded(std::string_view s, std::size_t width)
{
    std::string r(s);
    if (r.size() < width)
        r.append(width - r.size(), ' ');
    return r;
}

// ---- lsview --------------------------------------------------------------

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

// ---- lsregion, hostinfo -----------------------------------------------------

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

// ---- mkview, mktag ------------------------------------------------------------

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

int mkview(const Parsed &p, const Context &ctx, Output &out)
{
    const std::string &name = tag_option(p);
    std::string region = region_of(p, ctx);
    bool snapshot = p.has("-snapshot");
    std::string stream = opt_or(p, "-stream", "");
    std::string storage = opt_or(p, "-vws", p.args[0]);
    std::string snapdir = p.args[0];
    if (!p.has("-vws") && snapdir.size() > 4 && snapdir.ends_with(".vws"))
        snapdir.resize(snapdir.size() - 4);
    std::string host = opt_or(p, "-host", unc_host(storage));
    if (host.empty())
        host = ctx.host;
    std::string gpath = opt_or(p, "-gpath", storage);

    {
        Store store(ctx.home, Store::Mode::Write);
        Registry reg = store.load();
        require_region(reg, region, ctx);
        if (reg.find_tag(region, name) >= 0)
            throw CtError("A registry entry already exists for " + quoted(name) + ".");
        for (std::size_t i = 0; i < reg.views.size(); ++i)
            if (reg.storage_at(i) == storage)
                throw CtError("Unable to create view " + quoted(storage) +
                              ": storage directory already exists.");
        View v;
        v.uuid = new_uuid();
        v.host = host;
        v.storage = storage;
        v.owner = ctx.user;
        v.stream = stream;
        v.snapshot = snapshot;
        v.ucm = !stream.empty();
        v.active = true; // a new view's server is running
        v.created = v.modified = v.cs_updated = v.accessed = now();
        if (snapshot) { // as the working directory will name it, when it exists
            char *real = ::realpath(snapdir.c_str(), nullptr);
            v.root = real ? real : snapdir;
            std::free(real);
        }
        v.config_spec = "element * CHECKEDOUT\nelement * /main/LATEST\n";
        reg.add_region(region);
        reg.tags.push_back(Tag{region, name, v.uuid, host, gpath, opt_or(p, "-tcomment", "")});
        reg.add_view(std::move(v));
        store.save(reg);
    }

    out.line("Created view.");
    out.line("Host-local path: " + host + ":" + storage);
    out.line("Global path:     " + gpath);
    if (!storage.empty() && storage[0] == '/') {
        std::string who = user_part(ctx.user);
        out.line("It has the following rights:");
        out.line("User : " + who + " : rwx");
        out.line("Group: " + who + " : ---");
        out.line("Other:          : ---");
    }
    if (snapshot)
        out.line("Created snapshot view directory " + quoted(snapdir) + ".");
    if (!stream.empty())
        out.line("Attached view to stream " + quoted(stream) + ".");
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

// ---- rmview, rmtag ---------------------------------------------------------------

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
    reg.remove_view(uuid);
    store.save(reg);
    for (const auto &vob : vobs)
        out.line(" Removed references to view " + quoted(where) + " from VOB " + quoted(vob) + ".");
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

// ---- config specs ------------------------------------------------------------------

int catcs(const Parsed &p, const Context &ctx, Output &out)
{
    const std::string &name = tag_option(p);
    Registry reg = Store(ctx.home, Store::Mode::Read).load();
    out.text(tagged_view(reg, ctx, name, true).config_spec);
    return 0;
}

// setcs -tag T sets a dynamic view's config spec; a snapshot view's is set
// from inside its root, without -tag. The rules are checked first.
int setcs(const Parsed &p, const Context &ctx, Output &out)
{
    const std::string &file = p.args[0];
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw CtError("Unable to access " + quoted(file) + ": " + std::strerror(errno) + ".");
    std::string text;
    char buf[8192];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    ::close(fd);

    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    const View *found = nullptr;
    if (p.has("-tag")) {
        const std::string &name = p.opts.at("-tag");
        found = &tagged_view(reg, ctx, name, false);
        if (found->snapshot)
            throw CtError("The config spec of snapshot view " + quoted(name) +
                          " can be set only from inside the view, in its root directory.");
    } else {
        found = &current_view_or_throw(reg);
    }
    if (found->unreachable)
        throw CtError(kStorageUnavailable);
    // The VOBs of the checkouts are looked at only when the usual ones do not do.
    if (!check_config_spec(text, known_vobs(reg, ctx, false)).empty()) {
        auto problems = check_config_spec(text, known_vobs(reg, ctx, true));
        for (const auto &problem : problems)
            out.error(problem);
        if (!problems.empty())
            return 1;
    }
    View *view = reg.view_for_update(found->uuid);
    view->config_spec = std::move(text);
    view->cs_updated = view->modified = now();
    store.save(reg);
    return 0;
}

// ---- startview, endview -------------------------------------------------------------

int set_active(const Parsed &p, const Context &ctx, Output &out, bool active)
{
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    int status = 0;
    for (const auto &name : p.args) {
        try {
            View &v = tagged_view_for_update(reg, ctx, name, true);
            v.active = active;
            if (active)
                v.accessed = now();
        } catch (const CtError &e) {
            out.error(e.what());
            status = 1;
        }
    }
    store.save(reg);
    return status;
}

// ---- lsco, lsprivate -------------------------------------------------------------------

const char *const kNoTagInRegion = "<no-tag-in-region>";

// Each view's first tag in the region, for %Tf.
std::unordered_map<std::string_view, std::string_view> tags_in_region(const Registry &reg,
                                                                      const std::string &region)
{
    std::unordered_map<std::string_view, std::string_view> map;
    for (const auto &t : reg.tags)
        if (t.region == region)
            map.emplace(t.uuid, t.name);
    return map;
}

// Expands an lsco -fmt string: %TUf %Tf %n %Rf %d %u %%, and \n \t \\. Anything
// else is copied as it is.
void format_checkout(std::string &line, std::string_view fmt, const Checkout &c, std::string_view tag,
                     bool old_dates)
{
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        char ch = fmt[i];
        std::string_view rest = fmt.substr(i + 1);
        if (ch == '\\' && !rest.empty() && (rest[0] == 'n' || rest[0] == 't' || rest[0] == '\\')) {
            line += rest[0] == 'n' ? '\n' : rest[0] == 't' ? '\t' : '\\';
            ++i;
        } else if (ch != '%' || rest.empty()) {
            line += ch;
        } else if (rest.starts_with("TUf")) {
            line += c.view;
            i += 3;
        } else if (rest.starts_with("Tf")) {
            line += tag;
            i += 2;
        } else if (rest.starts_with("Rf")) {
            line += c.reserved ? "reserved" : "unreserved";
            i += 2;
        } else if (rest[0] == 'n' || rest[0] == 'd' || rest[0] == 'u' || rest[0] == '%') {
            line += rest[0] == 'n'   ? c.path
                    : rest[0] == 'd' ? format_time(c.date, old_dates)
                    : rest[0] == 'u' ? c.user
                                     : std::string("%");
            ++i;
        } else {
            line += ch;
        }
    }
}

// Whether `path` is `pname` or an entry of the directory `pname`.
bool names_element(std::string_view path, std::string_view pname)
{
    while (pname.size() > 1 && (pname.back() == '/' || pname.back() == '\\'))
        pname.remove_suffix(1);
    if (!path.starts_with(pname))
        return false;
    std::string_view rest = path.substr(pname.size());
    if (rest.empty())
        return true;
    return (rest[0] == '/' || rest[0] == '\\') && rest.find_first_of("/\\", 1) == std::string_view::npos;
}

// The checkouts of every view, registered or not: a checkout is a VOB's
// record. With -avobs (or -all without pnames) all of them; with pnames those
// of these elements or directories, or with -all of their VOBs.
int lsco(const Parsed &p, const Context &ctx, Output &out)
{
    bool all = p.has("-avobs") || (p.has("-all") && p.args.empty());
    if (!all && p.args.empty())
        throw CtError("Not a vob object: \".\".");
    Registry reg = Store(ctx.home, Store::Mode::Read).load();
    int status = 0;
    std::vector<std::string> pnames, pname_vobs;
    if (!all) {
        std::vector<std::string> vobs = known_vobs(reg, ctx, true);
        for (const auto &pname : p.args) {
            std::string vob = vob_of(pname);
            if (vob.empty() || std::find(vobs.begin(), vobs.end(), vob) == vobs.end()) {
                out.error("Not a vob object: " + quoted(pname) + ".");
                status = 1;
                continue;
            }
            pnames.push_back(pname);
            pname_vobs.push_back(vob);
        }
        if (pnames.empty())
            return status;
    }
    std::string only_view;
    if (p.has("-cview"))
        only_view = current_view_or_throw(reg).uuid;
    std::string only_user;
    if (p.has("-user"))
        only_user = user_part(p.opts.at("-user"));
    else if (p.has("-me"))
        only_user = user_part(ctx.user);

    bool longf = p.has("-long"), shortf = p.has("-short"), fmtf = p.has("-fmt");
    std::string_view fmt = fmtf ? std::string_view(p.opts.at("-fmt")) : std::string_view();
    bool need_tags = longf || fmt.find("%Tf") != std::string_view::npos;
    std::unordered_map<std::string_view, std::string_view> tags;
    if (need_tags)
        tags = tags_in_region(reg, ctx.region);
    std::string line;
    for (std::size_t i = 0; i < reg.checkouts.size(); ++i) {
        if (!only_view.empty() && reg.checkouts[i].view != only_view)
            continue;
        Checkout c = reg.checkout_at(i);
        if (!only_user.empty() && user_part(c.user) != only_user)
            continue;
        if (!all) {
            bool hit = false;
            for (std::size_t k = 0; k < pnames.size() && !hit; ++k)
                hit = p.has("-all") ? c.vob == pname_vobs[k] : names_element(c.path, pnames[k]);
            if (!hit)
                continue;
        }
        std::string_view tag = kNoTagInRegion;
        if (need_tags)
            if (auto it = tags.find(c.view); it != tags.end())
                tag = it->second;
        line.clear();
        if (fmtf) {
            format_checkout(line, fmt, c, tag, ctx.old_dates);
            out.text(line);
            continue;
        }
        if (shortf) {
            out.line(c.path);
            continue;
        }
        line = format_time(c.date, ctx.old_dates) + "  " + padded(c.user, 10) + " checkout version " +
               quoted(c.path) + (c.reserved ? " (reserved)" : " (unreserved)");
        out.line(line);
        if (longf) {
            const View *v = reg.view(c.view);
            if (!v)
                v = reg.unregistered_view(c.view);
            std::string where = v ? v->host + ":" + v->storage : std::string();
            out.line("  by view: " + std::string(tag) + " (" + quoted(where) + ")");
        }
    }
    return status;
}

// A dynamic view's checked-out files and other view-private files, as full
// paths through the view: /view/TAG/vobs/...
int lsprivate(const Parsed &p, const Context &ctx, Output &out)
{
    const std::string &name = tag_option(p);
    Registry reg = Store(ctx.home, Store::Mode::Read).load();
    const View &v = tagged_view(reg, ctx, name, false);
    if (v.snapshot)
        throw CtError("lsprivate does not work in a snapshot view: " + quoted(name) + ".");
    if (v.unreachable)
        throw CtError(kStorageUnavailable);
    bool filtered = p.has("-co") || p.has("-other") || p.has("-do");
    bool want_co = !filtered || p.has("-co"), want_other = !filtered || p.has("-other");

    std::vector<std::pair<std::string, bool>> entries; // path, checked out
    if (want_co)
        for (std::size_t i = 0; i < reg.checkouts.size(); ++i)
            if (reg.checkouts[i].view == v.uuid)
                entries.emplace_back(reg.checkout_at(i).path, true);
    if (want_other)
        for (std::size_t i = 0; i < reg.privates.size(); ++i)
            if (reg.privates[i].view == v.uuid)
                entries.emplace_back(reg.private_at(i), false);
    std::sort(entries.begin(), entries.end());
    std::string prefix = "/view/" + name;
    bool longf = p.has("-long");
    for (const auto &[path, co] : entries) {
        if (longf)
            out.text(co ? "checked-out version    " : "view private object    ");
        out.line(prefix + path + (co ? " [checkedout]" : ""));
    }
    return 0;
}

} // namespace

void Output::error(std::string_view msg)
{
    raw_error("cleartool: Error: " + std::string(msg));
}

void Output::raw_error(std::string_view msg)
{
    flush();
    std::string line = std::string(msg) + "\n";
    write_all(2, crlf ? to_crlf(line) : line);
}

void Output::flush()
{
    if (buf_.empty())
        return;
    write_all(1, crlf ? to_crlf(buf_) : buf_);
    buf_.clear();
}

std::vector<std::string> split_words(std::string_view line)
{
    std::vector<std::string> words;
    std::string cur;
    bool in_word = false, in_quotes = false;
    for (char c : line) {
        if (c == '"') {
            in_quotes = !in_quotes;
            in_word = true;
        } else if (!in_quotes && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (in_word)
                words.push_back(std::move(cur));
            cur.clear();
            in_word = false;
        } else {
            cur += c;
            in_word = true;
        }
    }
    if (in_word)
        words.push_back(std::move(cur));
    return words;
}

Parsed parse_command(const std::vector<std::string> &words)
{
    Parsed p;
    if (words.empty()) {
        p.usage_error = "No command given.";
        return p;
    }
    p.sub = words[0];
    const SubGrammar *grammar = nullptr;
    for (const auto &s : subcommands())
        if (p.sub == s.name)
            grammar = &s;
    if (!grammar) {
        p.usage_error = "Unrecognized command: " + quoted(p.sub);
        return p;
    }
    p.usage = grammar->usage;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string &w = words[i];
        if (w.size() > 1 && w[0] == '-') {
            const OptionDef *o = match_option(*grammar, w);
            if (!o) {
                p.usage_error = "Unrecognized option " + quoted(w);
                return p;
            }
            if (o->value) {
                if (i + 1 >= words.size()) {
                    p.usage_error = "Option " + quoted(o->name) + " requires an argument.";
                    return p;
                }
                p.opts[o->name] = words[++i];
            } else {
                p.opts[o->name] = "";
            }
        } else {
            p.args.push_back(w);
        }
    }
    if (grammar->tags == Tags::TagOption && p.has("-tag"))
        p.tags_named = 1;
    else if (grammar->tags == Tags::Args)
        p.tags_named = static_cast<long>(p.args.size());
    if (p.args.size() < grammar->min_args || p.args.size() > grammar->max_args)
        p.usage_error = p.args.size() < grammar->min_args ? "Too few arguments." : "Too many arguments.";
    return p;
}

int execute(const Parsed &p, const Context &ctx, Output &out)
{
    const std::string &s = p.sub;
    if (s == "lsview")
        return lsview(p, ctx, out);
    if (s == "lsregion")
        return lsregion(p, ctx, out);
    if (s == "mkview")
        return mkview(p, ctx, out);
    if (s == "mktag")
        return mktag(p, ctx, out);
    if (s == "rmview")
        return rmview(p, ctx, out);
    if (s == "rmtag")
        return rmtag(p, ctx, out);
    if (s == "unregister")
        return unregister(p, ctx, out);
    if (s == "lsco")
        return lsco(p, ctx, out);
    if (s == "lsprivate")
        return lsprivate(p, ctx, out);
    if (s == "catcs")
        return catcs(p, ctx, out);
    if (s == "setcs")
        return setcs(p, ctx, out);
    if (s == "startview")
        return set_active(p, ctx, out, true);
    if (s == "endview")
        return set_active(p, ctx, out, false);
    if (s == "hostinfo")
        return hostinfo(p, ctx, out);
    throw CtError("Unrecognized command: " + quoted(s));
}

} // namespace ccsim

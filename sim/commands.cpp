#include "commands.h"

#include "registry.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

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
         {{"-tag", 4, true}, {"-force", 2, false}},
         0,
         0,
         Tags::TagOption,
         "Usage: rmview [-force] -tag view-tag"},
        {"rmtag",
         {{"-view", 3, false}, {"-region", 4, true}, {"-all", 4, false}},
         1,
         kMany,
         Tags::Args,
         "Usage: rmtag -view [-all | -region region-name] view-tag ..."},
        {"catcs", {{"-tag", 4, true}}, 0, 0, Tags::TagOption, "Usage: catcs -tag view-tag"},
        {"setcs", {{"-tag", 4, true}}, 1, 1, Tags::TagOption, "Usage: setcs -tag view-tag config-spec-pname"},
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

void print_properties(Output &out, const View &v, bool full)
{
    std::string who = user_part(v.owner);
    std::string by = " by " + who + "." + who + "@" + v.host;
    out.line("Created " + format_time(v.created) + by);
    out.line("Last modified " + format_time(v.modified) + by);
    out.line("Last accessed " + format_time(v.modified) + by);
    if (v.cs_updated != 0)
        out.line("Last config spec update " + format_time(v.cs_updated) + by);
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

void print_tag(Output &out, const Tag &t, const View *v, const ListMode &m)
{
    static const View kMissing{};
    const View &view = v ? *v : kMissing;
    if (m.shortf) {
        out.line(t.name);
        return;
    }
    if (!m.longf) {
        char marker = view.active && !view.snapshot ? '*' : ' ';
        std::string gpath = t.gpath.empty() ? t.host + ":" + view.storage : t.gpath;
        char head[4] = {marker, ' ', 0, 0};
        out.text(head);
        out.text(padded(t.name, 20));
        out.text(" ");
        out.line(gpath);
        if (m.props)
            print_properties(out, view, m.full);
        return;
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
    if (m.props) {
        out.line("");
        print_properties(out, view, m.full);
    }
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
            if (t.region == region)
                print_tag(out, t, index.get(t.uuid), m);
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
        print_tag(out, t, reg.view(t.uuid), m);
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
        v.created = v.modified = v.cs_updated = now();
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

int rmview(const Parsed &p, const Context &ctx, Output &)
{
    const std::string &name = tag_option(p);
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    long i = reg.find_tag(ctx.region, name);
    if (i < 0)
        throw CtError(unknown_tag(name));
    std::string uuid = reg.tags[static_cast<std::size_t>(i)].uuid;
    reg.remove_view(uuid);
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
    long i = reg.find_tag(ctx.region, name);
    if (i < 0)
        throw CtError(unknown_tag(name));
    if (const View *v = reg.view(reg.tags[static_cast<std::size_t>(i)].uuid))
        out.text(v->config_spec);
    return 0;
}

int setcs(const Parsed &p, const Context &ctx, Output &)
{
    const std::string &name = tag_option(p);
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
    long i = reg.find_tag(ctx.region, name);
    if (i < 0)
        throw CtError(unknown_tag(name));
    View *view = reg.view_for_update(reg.tags[static_cast<std::size_t>(i)].uuid);
    if (!view)
        throw CtError(unknown_tag(name));
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
        long i = reg.find_tag(ctx.region, name);
        View *v = i < 0 ? nullptr : reg.view_for_update(reg.tags[static_cast<std::size_t>(i)].uuid);
        if (!v) {
            out.error(unknown_tag(name));
            status = 1;
            continue;
        }
        v->active = active;
    }
    store.save(reg);
    return status;
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

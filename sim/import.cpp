#include "import.h"

#include "context.h"
#include "error.h"
#include "store.h"
#include "util.h"
#include "uuid.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include "sys.h"

#include <fcntl.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace ccsim {

namespace {

const char *const kDefaultConfigSpec = "element * CHECKEDOUT\nelement * /main/LATEST\n";

std::string read_file(const std::string &path)
{
    int fd = sys::open(path, O_RDONLY);
    if (fd < 0)
        throw CtError("Unable to access \"" + path + "\": " + std::strerror(errno) + ".");
    std::string text;
    char buf[1 << 16];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

std::vector<std::string_view> split_bars(std::string_view line)
{
    std::vector<std::string_view> f;
    for (;;) {
        std::size_t bar = line.find('|');
        f.push_back(line.substr(0, bar));
        if (bar == std::string_view::npos)
            return f;
        line.remove_prefix(bar + 1);
    }
}

// A flag's count, as in "checkouts=12"; -1 when it is not a number.
long count_of(std::string_view s)
{
    if (s.empty() || s.size() > 9)
        return -1;
    long n = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string numbered(const char *prefix, long i, const char *suffix)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04ld", i);
    return prefix + std::string(buf) + suffix;
}

// Generated records of a view: checkouts alternate between the two VOBs,
// every fourth one unreserved, an hour apart from an hour after `since`;
// private files alternate the same way.
void generate_records(Registry &reg, const View &v, long checkouts, long privates, std::int64_t since)
{
    static const char *const kVobs[] = {"/vobs/app", "/vobs/tools"};
    std::string user(storage_name(v.owner));
    std::string lines;
    for (long i = 1; i <= checkouts; ++i) {
        Checkout c;
        c.view = v.uuid;
        c.vob = kVobs[(i - 1) % 2];
        c.path = numbered((c.vob + "/src/file_").c_str(), i, ".c");
        c.reserved = i % 4 != 0;
        c.date = since + i * 3600;
        c.user = user;
        lines += Registry::checkout_line(c);
    }
    if (!lines.empty())
        reg.add_records('C', std::move(lines));
    lines.clear();
    for (long i = 1; i <= privates; ++i)
        lines += Registry::private_line(
            v.uuid, numbered((std::string(kVobs[(i - 1) % 2]) + "/src/notes_").c_str(), i, ".txt"));
    if (!lines.empty())
        reg.add_records('P', std::move(lines));
}

std::string key_of(std::string_view region, std::string_view tag)
{
    std::string k(region);
    k += '\0';
    k += tag;
    return k;
}

// What the flags field says beyond the view's own flags.
struct ExtraFlags {
    bool link = false; // "tag": one more tag of a view listed earlier
    long checkouts = 0;
    long privates = 0;
};

// Adds the lines of one import file to a registry. Every line is checked
// before it is added; a wrong one throws, and the caller saves nothing.
class Importer {
public:
    Importer(const Context &ctx, const std::string &file, Registry &reg);
    // The next line of the file; empty lines and comments are skipped.
    void next_line(std::string_view line);
    long added() const { return added_; }

private:
    [[noreturn]] void fail(const std::string &why) const;
    const std::string &config_spec(const std::string &name);
    ExtraFlags read_flags(std::string_view flags, View &v) const;
    std::int64_t time_field(const std::vector<std::string_view> &f, std::size_t i, std::int64_t fallback,
                            const char *what) const;
    void add_line(const std::vector<std::string_view> &f);
    void add_link(const Tag &t);
    void add_view(View v, const ExtraFlags &extra, const std::vector<std::string_view> &f, Tag t);

    const Context &ctx_;
    const std::string &file_;
    std::string dir_; // config spec files are relative to it
    Registry &reg_;
    UuidSource uuids_;
    std::unordered_map<std::string, std::string> cs_cache_;
    std::unordered_set<std::string> keys_;                    // region and tag of every tag
    std::unordered_map<std::string, std::size_t> by_storage_; // storage name -> newest view
    std::int64_t now_ = static_cast<std::int64_t>(std::time(nullptr));
    long lineno_ = 0;
    long added_ = 0;
};

Importer::Importer(const Context &ctx, const std::string &file, Registry &reg)
    : ctx_(ctx), file_(file),
      dir_(file.find_first_of(sys::kPathSeparators) == std::string::npos
               ? std::string(".")
               : file.substr(0, file.find_last_of(sys::kPathSeparators))),
      reg_(reg)
{
    keys_.reserve(reg.tags.size() * 2 + 1024);
    for (const auto &t : reg.tags)
        keys_.insert(key_of(t.region, t.name));
    for (std::size_t i = 0; i < reg.views.size(); ++i)
        by_storage_[std::string(storage_name(reg.storage_at(i)))] = i;
}

void Importer::fail(const std::string &why) const
{
    throw CtError(file_ + ":" + std::to_string(lineno_) + ": " + why);
}

const std::string &Importer::config_spec(const std::string &name)
{
    std::string path = sys::is_absolute(name) ? name : dir_ + "/" + name;
    auto it = cs_cache_.find(path);
    if (it == cs_cache_.end())
        it = cs_cache_.emplace(path, read_file(path)).first;
    return it->second;
}

ExtraFlags Importer::read_flags(std::string_view flags, View &v) const
{
    ExtraFlags extra;
    while (!flags.empty()) {
        std::size_t comma = flags.find(',');
        std::string_view fl = flags.substr(0, comma);
        flags.remove_prefix(comma == std::string_view::npos ? flags.size() : comma + 1);
        if (fl == "snapshot")
            v.snapshot = true;
        else if (fl == "ucm")
            v.ucm = true;
        else if (fl.starts_with("stream="))
            v.ucm = true, v.stream = std::string(fl.substr(7));
        else if (fl == "active")
            v.active = true;
        else if (fl == "tag")
            extra.link = true;
        else if (fl == "unreachable")
            v.unreachable = true;
        else if (fl.starts_with("checkouts=") && (extra.checkouts = count_of(fl.substr(10))) >= 0)
            continue;
        else if (fl.starts_with("private=") && (extra.privates = count_of(fl.substr(8))) >= 0)
            continue;
        else if (fl != "dynamic" && fl != "-" && !fl.empty())
            fail("unknown flag \"" + std::string(fl) + "\".");
    }
    return extra;
}

// The time in field `i`, or `fallback` when the field is missing or empty.
std::int64_t Importer::time_field(const std::vector<std::string_view> &f, std::size_t i,
                                  std::int64_t fallback, const char *what) const
{
    if (f.size() <= i || f[i].empty())
        return fallback;
    std::int64_t t = parse_time(f[i]);
    if (t < 0)
        fail(std::string("the ") + what + " time must look like 2018-04-27T07:58:08Z.");
    return t;
}

void Importer::next_line(std::string_view line)
{
    ++lineno_;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.empty() || line[0] == '#')
        return;
    add_line(split_bars(line));
}

// region|tag|global path|host|flags|owner[|comment[|config spec file[|created[|accessed]]]]
void Importer::add_line(const std::vector<std::string_view> &f)
{
    if (f.size() < 6 || f.size() > 10)
        fail("expected 6 to 10 fields separated by \"|\", found " + std::to_string(f.size()) + ".");
    Tag t{std::string(f[0]), std::string(f[1]), {}, std::string(f[3]), std::string(f[2]), {}};
    if (t.region.empty() || t.name.empty() || t.gpath.empty())
        fail("region, tag and global path must not be empty.");
    if (t.host.empty())
        t.host = unc_host(t.gpath);
    if (t.host.empty())
        t.host = ctx_.host;
    View v;
    ExtraFlags extra = read_flags(f[4], v);
    if (!keys_.insert(key_of(t.region, t.name)).second)
        fail("the tag \"" + t.name + "\" already exists in region \"" + t.region + "\".");
    reg_.add_region(t.region);
    t.comment = f.size() > 6 ? std::string(f[6]) : std::string();
    if (extra.link) {
        add_link(t);
        return;
    }
    v.owner = std::string(f[5]);
    add_view(std::move(v), extra, f, std::move(t));
}

// One more tag of the view listed earlier with the same storage name.
void Importer::add_link(const Tag &t)
{
    auto it = by_storage_.find(std::string(storage_name(t.gpath)));
    if (it == by_storage_.end())
        fail("no view with the storage name \"" + std::string(storage_name(t.gpath)) + "\" to tag.");
    reg_.tags.push_back(
        Tag{t.region, t.name, std::string(reg_.views[it->second].uuid), t.host, t.gpath, t.comment});
    ++added_;
}

void Importer::add_view(View v, const ExtraFlags &extra, const std::vector<std::string_view> &f, Tag t)
{
    v.uuid = uuids_.next();
    v.host = t.host;
    v.storage = t.gpath;
    v.created = time_field(f, 8, now_, "creation");
    v.modified = v.cs_updated = v.accessed = v.created;
    v.accessed = time_field(f, 9, v.accessed, "access");
    if (v.snapshot) {
        std::string_view root = t.gpath;
        if (root.size() > 4 && root.ends_with(".vws"))
            root.remove_suffix(4);
        v.root = std::string(root);
    }
    generate_records(reg_, v, extra.checkouts, extra.privates, v.created);
    v.config_spec = f.size() > 7 && !f[7].empty() ? config_spec(std::string(f[7])) : kDefaultConfigSpec;
    t.uuid = v.uuid;
    reg_.tags.push_back(std::move(t));
    by_storage_[std::string(storage_name(v.storage))] = reg_.views.size();
    reg_.add_view(std::move(v));
    ++added_;
}

} // namespace

long import_views(const Context &ctx, const std::string &file)
{
    std::string text = read_file(file);
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    Importer importer(ctx, file, reg);
    std::string_view rest(text);
    while (!rest.empty()) {
        std::size_t nl = rest.find('\n');
        importer.next_line(rest.substr(0, nl));
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
    }
    store.save(reg);
    return importer.added();
}

} // namespace ccsim

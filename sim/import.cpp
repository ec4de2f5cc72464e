#include "import.h"

#include "context.h"
#include "error.h"
#include "store.h"
#include "util.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace ccsim {

namespace {

const char *const kDefaultConfigSpec = "element * CHECKEDOUT\nelement * /main/LATEST\n";

std::string read_file(const std::string &path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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

} // namespace

long import_views(const Context &ctx, const std::string &file)
{
    std::string text = read_file(file);
    std::string dir =
        file.find('/') == std::string::npos ? std::string(".") : file.substr(0, file.rfind('/'));
    std::unordered_map<std::string, std::string> cs_cache;
    auto config_spec = [&](const std::string &name) -> const std::string & {
        std::string path = name[0] == '/' ? name : dir + "/" + name;
        auto it = cs_cache.find(path);
        if (it == cs_cache.end())
            it = cs_cache.emplace(path, read_file(path)).first;
        return it->second;
    };

    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    std::unordered_set<std::string> keys;
    keys.reserve(reg.tags.size() * 2 + 1024);
    for (const auto &t : reg.tags)
        keys.insert(key_of(t.region, t.name));
    std::unordered_map<std::string, std::size_t> by_storage; // storage name -> newest view
    for (std::size_t i = 0; i < reg.views.size(); ++i)
        by_storage[std::string(storage_name(reg.storage_at(i)))] = i;

    std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    long added = 0, lineno = 0;
    std::string_view rest(text);
    while (!rest.empty()) {
        std::size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        ++lineno;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#')
            continue;
        auto fail = [&](const std::string &why) {
            throw CtError(file + ":" + std::to_string(lineno) + ": " + why);
        };
        auto f = split_bars(line);
        if (f.size() < 6 || f.size() > 10)
            fail("expected 6 to 10 fields separated by \"|\", found " + std::to_string(f.size()) + ".");
        std::string region(f[0]), tag(f[1]), gpath(f[2]), host(f[3]), owner(f[5]);
        if (region.empty() || tag.empty() || gpath.empty())
            fail("region, tag and global path must not be empty.");
        if (host.empty())
            host = unc_host(gpath);
        if (host.empty())
            host = ctx.host;

        View v;
        bool link = false;
        long checkouts = 0, privates = 0;
        std::string_view flags = f[4];
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
                link = true;
            else if (fl == "unreachable")
                v.unreachable = true;
            else if (fl.starts_with("checkouts=") && (checkouts = count_of(fl.substr(10))) >= 0)
                continue;
            else if (fl.starts_with("private=") && (privates = count_of(fl.substr(8))) >= 0)
                continue;
            else if (fl != "dynamic" && fl != "-" && !fl.empty())
                fail("unknown flag \"" + std::string(fl) + "\".");
        }

        std::string key = key_of(region, tag);
        if (!keys.insert(key).second)
            fail("the tag \"" + tag + "\" already exists in region \"" + region + "\".");
        reg.add_region(region);
        std::string comment = f.size() > 6 ? std::string(f[6]) : std::string();

        if (link) { // one more tag of a view listed earlier
            auto it = by_storage.find(std::string(storage_name(gpath)));
            if (it == by_storage.end())
                fail("no view with the storage name \"" + std::string(storage_name(gpath)) + "\" to tag.");
            reg.tags.push_back(
                Tag{region, tag, std::string(reg.views[it->second].uuid), host, gpath, comment});
            ++added;
            continue;
        }
        v.uuid = new_uuid();
        v.host = host;
        v.storage = gpath;
        v.owner = owner;
        v.created = now;
        if (f.size() > 8 && !f[8].empty()) {
            v.created = parse_time(f[8]);
            if (v.created < 0)
                fail("the creation time must look like 2018-04-27T07:58:08Z.");
        }
        v.modified = v.cs_updated = v.accessed = v.created;
        if (f.size() > 9 && !f[9].empty()) {
            v.accessed = parse_time(f[9]);
            if (v.accessed < 0)
                fail("the access time must look like 2018-04-27T07:58:08Z.");
        }
        if (v.snapshot) {
            std::string_view root = gpath;
            if (root.size() > 4 && root.ends_with(".vws"))
                root.remove_suffix(4);
            v.root = std::string(root);
        }
        generate_records(reg, v, checkouts, privates, v.created);
        v.config_spec = f.size() > 7 && !f[7].empty() ? config_spec(std::string(f[7])) : kDefaultConfigSpec;
        reg.tags.push_back(Tag{region, tag, v.uuid, host, gpath, comment});
        by_storage[std::string(storage_name(gpath))] = reg.views.size();
        reg.add_view(std::move(v));
        ++added;
    }
    store.save(reg);
    return added;
}

} // namespace ccsim

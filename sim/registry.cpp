#include "registry.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ccsim {

namespace {

// Version 1 files (no checkouts, private files or unregistered views, and
// ten view fields) are still read; a save writes version 2.
constexpr std::string_view kHeaderPrefix = "ccsim-registry\t";
constexpr int kVersion = 2;

std::string sys_error(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

// Fields are separated by tabs and records by line feeds; a field escapes
// '%', tab, CR and LF as %25, %09, %0D, %0A. Backslashes stay as they are.
void append_escaped(std::string &out, std::string_view s)
{
    for (char c : s) {
        switch (c) {
        case '%': out += "%25"; break;
        case '\t': out += "%09"; break;
        case '\r': out += "%0D"; break;
        case '\n': out += "%0A"; break;
        default: out += c;
        }
    }
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string unescape(std::string_view s)
{
    if (s.find('%') == std::string_view::npos)
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            int hi = hex_value(s[i + 1]), lo = hex_value(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

std::int64_t to_int(std::string_view s)
{
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            break;
        v = v * 10 + (c - '0');
    }
    return v;
}

// Splits one record into at most `n` fields; returns how many were found.
std::size_t split_fields(std::string_view line, std::string_view *f, std::size_t n)
{
    std::size_t count = 0;
    while (count < n) {
        std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos || count == n - 1) {
            f[count++] = line;
            break;
        }
        f[count++] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    return count;
}

std::string flags_of(const View &v)
{
    std::string s;
    if (v.snapshot)
        s += 's';
    if (v.ucm)
        s += 'u';
    if (v.active)
        s += 'a';
    if (v.unreachable)
        s += 'x';
    return s.empty() ? std::string("-") : s;
}

std::string read_all(int fd)
{
    std::string data;
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_size > 0)
        data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw CtError(sys_error("Unable to read the view registry"));
        if (n == 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    return data;
}

std::string derived_root(std::string_view storage)
{
    if (storage.size() > 4 && storage.ends_with(".vws"))
        storage.remove_suffix(4);
    return std::string(storage);
}

// Version 1: uuid host storage flags owner created modified cs-updated stream
// config-spec. Version 2 adds accessed after cs-updated and the snapshot root
// after the stream.
View parse_view(std::string_view line, int version)
{
    constexpr std::size_t kMax = 12;
    std::string_view f[kMax];
    std::size_t want = version == 1 ? 10 : 12;
    View v;
    if (split_fields(line, f, want) != want)
        return v;
    v.uuid = std::string(f[0]);
    v.host = unescape(f[1]);
    v.storage = unescape(f[2]);
    for (char c : f[3]) {
        v.snapshot |= c == 's';
        v.ucm |= c == 'u';
        v.active |= c == 'a';
        v.unreachable |= c == 'x';
    }
    v.owner = unescape(f[4]);
    v.created = to_int(f[5]);
    v.modified = to_int(f[6]);
    v.cs_updated = to_int(f[7]);
    if (version == 1) {
        v.accessed = v.modified;
        v.stream = unescape(f[8]);
        v.config_spec = unescape(f[9]);
    } else {
        v.accessed = to_int(f[8]);
        v.stream = unescape(f[9]);
        v.root = unescape(f[10]);
        v.config_spec = unescape(f[11]);
    }
    if (v.snapshot && v.root.empty())
        v.root = derived_root(v.storage);
    return v;
}

void append_view(std::string &out, const View &v)
{
    out += v.uuid;
    out += '\t';
    append_escaped(out, v.host);
    out += '\t';
    append_escaped(out, v.storage);
    out += '\t';
    out += flags_of(v);
    out += '\t';
    append_escaped(out, v.owner);
    for (std::int64_t t : {v.created, v.modified, v.cs_updated, v.accessed}) {
        out += '\t';
        out += std::to_string(t);
    }
    out += '\t';
    append_escaped(out, v.stream);
    out += '\t';
    append_escaped(out, v.root);
    out += '\t';
    append_escaped(out, v.config_spec);
}

// Appends the records of `lines` ("uuid<TAB>...", one a line) to `to`.
void split_records(std::string_view lines, std::vector<Record> &to)
{
    while (!lines.empty()) {
        std::size_t nl = lines.find('\n');
        std::string_view line = lines.substr(0, nl);
        lines.remove_prefix(nl == std::string_view::npos ? lines.size() : nl + 1);
        std::size_t tab = line.find('\t');
        if (tab != std::string_view::npos)
            to.push_back(Record{line.substr(0, tab), line});
    }
}

void write_slots(std::string &out, char kind, const Registry &reg, const std::vector<ViewSlot> &slots)
{
    for (const auto &slot : slots) {
        out += kind;
        out += '\t';
        if (slot.changed || reg.version != kVersion)
            append_view(out, slot.parsed ? *slot.parsed : parse_view(slot.line, reg.version));
        else
            out += slot.line;
        out += '\n';
    }
}

void write_records(std::string &out, char kind, const std::vector<Record> &records)
{
    for (const auto &r : records) {
        out += kind;
        out += '\t';
        out += r.line;
        out += '\n';
    }
}

} // namespace

bool Registry::has_region(std::string_view r) const
{
    for (const auto &x : regions)
        if (x == r)
            return true;
    return false;
}

void Registry::add_region(const std::string &r)
{
    if (!has_region(r))
        regions.push_back(r);
}

long Registry::find_tag(std::string_view region, std::string_view name) const
{
    for (std::size_t i = 0; i < tags.size(); ++i)
        if (tags[i].name == name && tags[i].region == region)
            return static_cast<long>(i);
    return -1;
}

const View &Registry::view_at(std::size_t i) const
{
    const ViewSlot &slot = views[i];
    if (!slot.parsed)
        slot.parsed = std::make_shared<View>(parse_view(slot.line, version));
    return *slot.parsed;
}

const View *Registry::view(std::string_view uuid) const
{
    for (std::size_t i = 0; i < views.size(); ++i)
        if (views[i].uuid == uuid)
            return &view_at(i);
    return nullptr;
}

View *Registry::view_for_update(std::string_view uuid)
{
    for (std::size_t i = 0; i < views.size(); ++i) {
        if (views[i].uuid == uuid) {
            view_at(i);
            views[i].changed = true;
            return views[i].parsed.get();
        }
    }
    return nullptr;
}

std::string Registry::storage_at(std::size_t i) const
{
    const ViewSlot &slot = views[i];
    if (slot.parsed)
        return slot.parsed->storage;
    std::string_view f[4];
    return split_fields(slot.line, f, 4) == 4 ? unescape(f[2]) : std::string();
}

void Registry::add_view(View v)
{
    auto p = std::make_shared<View>(std::move(v));
    ViewSlot slot;
    slot.uuid = p->uuid;
    slot.parsed = std::move(p);
    slot.changed = true;
    views.push_back(std::move(slot));
}

void Registry::remove_view(const std::string &uuid)
{
    std::erase_if(tags, [&](const Tag &t) { return t.uuid == uuid; });
    std::erase_if(views, [&](const ViewSlot &v) { return v.uuid == uuid; });
    std::erase_if(unregistered, [&](const ViewSlot &v) { return v.uuid == uuid; });
    std::erase_if(checkouts, [&](const Record &r) { return r.view == uuid; });
    std::erase_if(privates, [&](const Record &r) { return r.view == uuid; });
}

bool Registry::unregister(std::string_view uuid)
{
    for (auto it = views.begin(); it != views.end(); ++it) {
        if (it->uuid == uuid) {
            unregistered.push_back(std::move(*it));
            views.erase(it);
            return true;
        }
    }
    return false;
}

const View *Registry::unregistered_view(std::string_view uuid) const
{
    for (const auto &slot : unregistered) {
        if (slot.uuid == uuid) {
            if (!slot.parsed)
                slot.parsed = std::make_shared<View>(parse_view(slot.line, version));
            return slot.parsed.get();
        }
    }
    return nullptr;
}

// C: view-uuid  vob  element-path  reserved|unreserved  date  user
Checkout Registry::checkout_at(std::size_t i) const
{
    std::string_view f[6];
    Checkout c;
    if (split_fields(checkouts[i].line, f, 6) != 6)
        return c;
    c.view = std::string(f[0]);
    c.vob = unescape(f[1]);
    c.path = unescape(f[2]);
    c.reserved = f[3] != "unreserved";
    c.date = to_int(f[4]);
    c.user = unescape(f[5]);
    return c;
}

// P: view-uuid  path
std::string Registry::private_at(std::size_t i) const
{
    std::string_view line = privates[i].line;
    return unescape(line.substr(line.find('\t') + 1));
}

std::string Registry::checkout_line(const Checkout &c)
{
    std::string line = c.view;
    line += '\t';
    append_escaped(line, c.vob);
    line += '\t';
    append_escaped(line, c.path);
    line += c.reserved ? "\treserved\t" : "\tunreserved\t";
    line += std::to_string(c.date);
    line += '\t';
    append_escaped(line, c.user);
    line += '\n';
    return line;
}

std::string Registry::private_line(std::string_view uuid, std::string_view path)
{
    std::string line(uuid);
    line += '\t';
    append_escaped(line, path);
    line += '\n';
    return line;
}

void Registry::add_checkout(const Checkout &c)
{
    add_records('C', checkout_line(c));
}

void Registry::add_private(std::string_view uuid, std::string_view path)
{
    add_records('P', private_line(uuid, path));
}

void Registry::add_records(char kind, std::string lines)
{
    auto block = std::make_shared<const std::string>(std::move(lines));
    added.push_back(block);
    split_records(*block, kind == 'C' ? checkouts : privates);
}

ViewIndex::ViewIndex(const Registry &reg) : reg_(reg)
{
    map_.reserve(reg.views.size());
    for (std::size_t i = 0; i < reg.views.size(); ++i)
        map_.emplace(reg.views[i].uuid, i);
}

const View *ViewIndex::get(std::string_view uuid) const
{
    auto it = map_.find(uuid);
    return it == map_.end() ? nullptr : &reg_.view_at(it->second);
}

void prepare_home(const std::string &home, bool shared_requested)
{
    struct stat st {};
    bool exists = ::stat(home.c_str(), &st) == 0;
    if (!exists) {
        if (shared_requested)
            ::umask(0);
        // Like "mkdir -p": missing parents are made too.
        for (std::size_t pos = home.find('/', 1);; pos = home.find('/', pos + 1)) {
            std::string part = home.substr(0, pos);
            if (::mkdir(part.c_str(), shared_requested ? 0777 : 0755) != 0 && errno != EEXIST)
                throw CtError(sys_error("Unable to create the view registry directory \"" + part + "\""));
            if (pos == std::string::npos)
                break;
        }
        return;
    }
    if (!S_ISDIR(st.st_mode))
        throw CtError("The view registry \"" + home + "\" is not a directory.");
    if (shared_requested && (st.st_mode & 0777) != 0777 && st.st_uid == ::geteuid())
        ::chmod(home.c_str(), 0777);
    if (shared_requested || (st.st_mode & S_IWOTH))
        ::umask(0);
}

Store::Store(const std::string &home, Mode mode) : home_(home)
{
    std::string lock = home_ + "/registry.lock";
    lock_fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (lock_fd_ < 0)
        lock_fd_ = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
    if (lock_fd_ < 0)
        throw CtError(sys_error("Unable to open the view registry lock \"" + lock + "\""));
    int op = mode == Mode::Write ? LOCK_EX : LOCK_SH;
    while (::flock(lock_fd_, op) != 0) {
        if (errno != EINTR)
            throw CtError(sys_error("Unable to lock the view registry"));
    }
}

Store::~Store()
{
    if (lock_fd_ >= 0)
        ::close(lock_fd_); // releases the flock
}

Registry Store::load() const
{
    Registry reg;
    std::string path = home_ + "/registry";
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return reg;
        throw CtError(sys_error("Unable to open the view registry \"" + path + "\""));
    }
    std::shared_ptr<std::string> data;
    try {
        data = std::make_shared<std::string>(read_all(fd));
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    reg.raw = data;

    std::string_view rest(*data);
    bool first = true;
    std::string_view f[6];
    while (!rest.empty()) {
        std::size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        if (first) {
            first = false;
            if (line == std::string(kHeaderPrefix) + "1")
                reg.version = 1;
            else if (line == std::string(kHeaderPrefix) + std::to_string(kVersion))
                reg.version = kVersion;
            else
                throw CtError("The view registry \"" + path + "\" is damaged or of an unknown version.");
            continue;
        }
        if (line.size() < 2 || line[1] != '\t')
            continue;
        char kind = line[0];
        line.remove_prefix(2);
        if (kind == 'T') {
            if (split_fields(line, f, 6) != 6)
                continue;
            reg.tags.push_back(Tag{unescape(f[0]), unescape(f[1]), std::string(f[2]), unescape(f[3]),
                                   unescape(f[4]), unescape(f[5])});
        } else if (kind == 'C' || kind == 'P') {
            std::size_t tab = line.find('\t');
            if (tab != std::string_view::npos)
                (kind == 'C' ? reg.checkouts : reg.privates).push_back(Record{line.substr(0, tab), line});
        } else if (kind == 'V' || kind == 'U') {
            std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos)
                continue;
            ViewSlot slot;
            slot.uuid = line.substr(0, tab);
            slot.line = line;
            (kind == 'V' ? reg.views : reg.unregistered).push_back(std::move(slot));
        } else if (kind == 'R') {
            reg.regions.push_back(unescape(line));
        }
    }
    return reg;
}

void Store::save(const Registry &reg) const
{
    std::string out;
    out.reserve(64 + reg.tags.size() * 96 + reg.views.size() * 160 + reg.checkouts.size() * 96 +
                reg.privates.size() * 64);
    out += kHeaderPrefix;
    out += std::to_string(kVersion);
    out += '\n';
    for (const auto &r : reg.regions) {
        out += "R\t";
        append_escaped(out, r);
        out += '\n';
    }
    write_slots(out, 'V', reg, reg.views);
    write_slots(out, 'U', reg, reg.unregistered);
    write_records(out, 'C', reg.checkouts);
    write_records(out, 'P', reg.privates);
    for (const auto &t : reg.tags) {
        out += "T\t";
        append_escaped(out, t.region);
        out += '\t';
        append_escaped(out, t.name);
        out += '\t';
        out += t.uuid;
        out += '\t';
        append_escaped(out, t.host);
        out += '\t';
        append_escaped(out, t.gpath);
        out += '\t';
        append_escaped(out, t.comment);
        out += '\n';
    }

    std::string path = home_ + "/registry";
    std::string tmp = path + ".tmp." + std::to_string(::getpid());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw CtError(sys_error("Unable to write the view registry \"" + tmp + "\""));
    const char *p = out.data();
    std::size_t left = out.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            std::string msg = sys_error("Unable to write the view registry \"" + tmp + "\"");
            ::close(fd);
            ::unlink(tmp.c_str());
            throw CtError(msg);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        std::string msg = sys_error("Unable to replace the view registry \"" + path + "\"");
        ::unlink(tmp.c_str());
        throw CtError(msg);
    }
}

std::string new_uuid()
{
    static std::mt19937_64 rng = [] {
        std::random_device rd;
        std::seed_seq seq{rd(), rd(), rd(), static_cast<unsigned>(::getpid()),
                          static_cast<unsigned>(std::time(nullptr))};
        return std::mt19937_64(seq);
    }();
    std::uint64_t a = rng(), b = rng();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%08x.%08x.%04x.%02x:%02x:%02x:%02x:%02x:%02x",
                  static_cast<unsigned>(a >> 32), static_cast<unsigned>(a & 0xffffffffu),
                  static_cast<unsigned>(b >> 48), static_cast<unsigned>((b >> 40) & 0xff),
                  static_cast<unsigned>((b >> 32) & 0xff), static_cast<unsigned>((b >> 24) & 0xff),
                  static_cast<unsigned>((b >> 16) & 0xff), static_cast<unsigned>((b >> 8) & 0xff),
                  static_cast<unsigned>(b & 0xff));
    return buf;
}

std::string format_time(std::int64_t t, bool old)
{
    std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    ::gmtime_r(&tt, &tm);
    char buf[32];
    // The process never calls setlocale, so %b is the English month.
    std::strftime(buf, sizeof buf, old ? "%d-%b-%y.%H:%M:%S" : "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

std::int64_t parse_time(std::string_view s)
{
    std::tm tm{};
    std::string str(s);
    const char *end = ::strptime(str.c_str(), "%Y-%m-%dT%H:%M:%SZ", &tm);
    if (!end || *end != '\0')
        return -1;
    return static_cast<std::int64_t>(::timegm(&tm));
}

std::string_view storage_name(std::string_view path)
{
    while (!path.empty() && (path.back() == '/' || path.back() == '\\'))
        path.remove_suffix(1);
    std::size_t pos = path.find_last_of("/\\");
    return pos == std::string_view::npos ? path : path.substr(pos + 1);
}

std::string vob_of(std::string_view path)
{
    if (path.empty() || (path[0] != '/' && path[0] != '\\'))
        return {};
    std::size_t second = path.find_first_of("/\\", 1);
    if (second == std::string_view::npos || second + 1 >= path.size())
        return {};
    std::size_t end = path.find_first_of("/\\", second + 1);
    return std::string(path.substr(0, end));
}

std::string unc_host(std::string_view path)
{
    if (path.size() < 3 || path[0] != '\\' || path[1] != '\\')
        return {};
    path.remove_prefix(2);
    return std::string(path.substr(0, path.find('\\')));
}

} // namespace ccsim

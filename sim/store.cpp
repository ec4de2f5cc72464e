#include "store.h"

#include "error.h"
#include "regformat.h"

#include "sys.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ccsim {

namespace {

std::string sys_error(const std::string &what)
{
    return what + ": " + std::strerror(errno);
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

// The registry file's bytes, or null when there is no file yet.
std::shared_ptr<std::string> read_registry_file(const std::string &path)
{
    int fd = sys::open(path, O_RDONLY);
    if (fd < 0) {
        if (errno == ENOENT)
            return nullptr;
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
    return data;
}

int header_version(std::string_view line, const std::string &path)
{
    if (line == std::string(kHeaderPrefix) + "1")
        return 1;
    if (line == std::string(kHeaderPrefix) + std::to_string(kVersion))
        return kVersion;
    throw CtError("The view registry \"" + path + "\" is damaged or of an unknown version.");
}

// Adds the record of one line after the header. Tags and regions are parsed
// now; views, checkouts and private files keep pointing into the file's text.
// A line of an unknown kind or with too few fields is skipped.
void add_record(Registry &reg, std::string_view line)
{
    if (line.size() < 2 || line[1] != '\t')
        return;
    char kind = line[0];
    line.remove_prefix(2);
    if (kind == 'T') {
        std::string_view f[6];
        if (split_fields(line, f, 6) != 6)
            return;
        reg.tags.push_back(Tag{unescape(f[0]), unescape(f[1]), std::string(f[2]), unescape(f[3]),
                               unescape(f[4]), unescape(f[5])});
    } else if (kind == 'C' || kind == 'P') {
        std::size_t tab = line.find('\t');
        if (tab != std::string_view::npos)
            (kind == 'C' ? reg.checkouts : reg.privates).push_back(Record{line.substr(0, tab), line});
    } else if (kind == 'V' || kind == 'U') {
        std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return;
        ViewSlot slot;
        slot.uuid = line.substr(0, tab);
        slot.line = line;
        (kind == 'V' ? reg.views : reg.unregistered).push_back(std::move(slot));
    } else if (kind == 'R') {
        reg.regions.push_back(unescape(line));
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

void write_tags(std::string &out, const std::vector<Tag> &tags)
{
    for (const auto &t : tags) {
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
}

// The whole file: the header, then the records kind by kind.
std::string registry_text(const Registry &reg)
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
    write_tags(out, reg.tags);
    return out;
}

// Writes `text` to "<path>.tmp.<pid>" and renames that over `path`, so that
// a reader sees the old file or the new one, never half of one.
void replace_file(const std::string &path, const std::string &text)
{
    std::string tmp = path + ".tmp." + std::to_string(sys::process_id());
    int fd = sys::open(tmp, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0)
        throw CtError(sys_error("Unable to write the view registry \"" + tmp + "\""));
    const char *p = text.data();
    std::size_t left = text.size();
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
    if (!sys::replace(tmp, path)) {
        std::string msg = sys_error("Unable to replace the view registry \"" + path + "\"");
        ::unlink(tmp.c_str());
        throw CtError(msg);
    }
}

} // namespace

void prepare_home(const std::string &home, bool shared_requested)
{
    sys::prepare_home_dir(home, shared_requested);
}

Store::Store(const std::string &home, Mode mode) : home_(home)
{
    std::string lock = home_ + "/registry.lock";
    lock_fd_ = sys::open(lock, O_RDWR | O_CREAT);
    if (lock_fd_ < 0)
        lock_fd_ = sys::open(lock, O_RDONLY);
    if (lock_fd_ < 0)
        throw CtError(sys_error("Unable to open the view registry lock \"" + lock + "\""));
    if (!sys::lock(lock_fd_, mode == Mode::Write))
        throw CtError(sys_error("Unable to lock the view registry"));
}

Store::~Store()
{
    if (lock_fd_ >= 0)
        ::close(lock_fd_); // releases the lock
}

Registry Store::load() const
{
    Registry reg;
    std::string path = home_ + "/registry";
    std::shared_ptr<std::string> data = read_registry_file(path);
    if (!data)
        return reg;
    reg.raw = data;

    std::string_view rest(*data);
    bool first = true;
    while (!rest.empty()) {
        std::size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        if (first) {
            first = false;
            reg.version = header_version(line, path);
            continue;
        }
        add_record(reg, line);
    }
    return reg;
}

void Store::save(const Registry &reg) const
{
    std::string text = registry_text(reg);
    replace_file(home_ + "/registry", text);
}

} // namespace ccsim

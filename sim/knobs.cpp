#include "knobs.h"

#include "error.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include "sys.h"

#include <fcntl.h>
#include <unistd.h>

namespace ccsim {

namespace {

long to_ms(std::string_view v)
{
    long n = 0;
    for (char c : v) {
        if (c < '0' || c > '9')
            break;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string> split_list(std::string_view v)
{
    std::vector<std::string> out;
    while (!v.empty()) {
        std::size_t comma = v.find(',');
        std::string_view item = trim(v.substr(0, comma));
        if (!item.empty())
            out.emplace_back(item);
        if (comma == std::string_view::npos)
            break;
        v.remove_prefix(comma + 1);
    }
    return out;
}

void set_knob(Knobs &k, std::string_view key, std::string_view value)
{
    if (key == "CCSIM_COST_START_MS")
        k.cost_start_ms = to_ms(value);
    else if (key == "CCSIM_COST_CMD_MS")
        k.cost_cmd_ms = to_ms(value);
    else if (key == "CCSIM_COST_TAG_MS")
        k.cost_tag_ms = to_ms(value);
    else if (key == "CCSIM_FAIL")
        k.fail = split_list(value);
    else if (key == "CCSIM_FAIL_STORAGE")
        k.fail_storage = split_list(value);
    else if (key == "CCSIM_DIE")
        k.die = std::string(trim(value));
    else if (key == "CCSIM_DIE_AFTER")
        k.die_after = std::string(trim(value));
    else if (key == "CCSIM_SLOW") {
        k.slow.clear();
        for (const std::string &item : split_list(value)) {
            const std::size_t colon = item.find(':');
            if (colon != std::string::npos)
                k.slow.emplace_back(item.substr(0, colon), to_ms(std::string_view(item).substr(colon + 1)));
        }
    } else if (key == "CCSIM_CRLF")
        k.crlf = value == "1";
    else if (key == "CCSIM_OLD_DATES")
        k.old_dates = value == "1";
    else if (key == "CCSIM_VOBS")
        k.vobs = split_list(value);
}

const char *const kKnobNames[] = {"CCSIM_COST_START_MS", "CCSIM_COST_CMD_MS", "CCSIM_COST_TAG_MS",
                                  "CCSIM_FAIL",          "CCSIM_DIE",         "CCSIM_CRLF",
                                  "CCSIM_OLD_DATES",     "CCSIM_VOBS",        "CCSIM_DIE_AFTER",
                                  "CCSIM_SLOW",          "CCSIM_FAIL_STORAGE"};

Counters parse_counters(std::string_view text)
{
    Counters c;
    auto value_of = [&](std::string_view key) -> long long {
        std::size_t pos = text.find(key);
        if (pos == std::string_view::npos)
            return 0;
        long long n = 0;
        for (std::size_t i = pos + key.size(); i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            n = n * 10 + (text[i] - '0');
        return n;
    };
    c.process_starts = value_of("process_starts=");
    c.commands = value_of("commands=");
    c.tags = value_of("tags=");
    return c;
}

std::string format_counters(const Counters &c)
{
    return "process_starts=" + std::to_string(c.process_starts) + " commands=" + std::to_string(c.commands) +
           " tags=" + std::to_string(c.tags) + "\n";
}

// Opens $home/counters, locked; returns -1 when it cannot be opened.
int open_counters(const std::string &home, bool exclusive)
{
    int fd = sys::open(home + "/counters", O_RDWR | O_CREAT);
    if (fd < 0)
        return -1;
    sys::lock(fd, exclusive);
    return fd;
}

std::string read_fd(int fd)
{
    char buf[256];
    long n = sys::read_at_start(fd, buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

void write_fd(int fd, const std::string &text)
{
    sys::write_whole(fd, text);
}

} // namespace

Knobs Knobs::read(const std::string &home)
{
    Knobs k;
    for (const char *name : kKnobNames)
        if (const char *v = std::getenv(name))
            set_knob(k, name, v);

    std::string path = home + "/knobs";
    int fd = sys::open(path, O_RDONLY);
    if (fd < 0)
        return k;
    std::string text;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    ::close(fd);

    std::string_view rest(text);
    while (!rest.empty()) {
        std::size_t nl = rest.find('\n');
        std::string_view line = trim(rest.substr(0, nl));
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        if (line.empty() || line.front() == '#')
            continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        set_knob(k, trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
    }
    return k;
}

long Knobs::slow_ms(std::string_view sub) const
{
    long ms = 0;
    for (const auto &[name, cost] : slow)
        if (name == sub)
            ms += cost;
    return ms;
}

bool Knobs::fails(std::string_view sub) const
{
    for (const auto &f : fail)
        if (f == sub)
            return true;
    return false;
}

void add_counters(const std::string &home, const Counters &delta)
{
    int fd = open_counters(home, true);
    if (fd < 0)
        return; // counting must never break a command
    Counters c = parse_counters(read_fd(fd));
    c.process_starts += delta.process_starts;
    c.commands += delta.commands;
    c.tags += delta.tags;
    write_fd(fd, format_counters(c));
    ::close(fd);
}

Counters read_counters(const std::string &home)
{
    int fd = open_counters(home, false);
    if (fd < 0)
        throw CtError("Unable to open the counters in \"" + home + "\".");
    Counters c = parse_counters(read_fd(fd));
    ::close(fd);
    return c;
}

void reset_counters(const std::string &home)
{
    int fd = open_counters(home, true);
    if (fd < 0)
        throw CtError("Unable to open the counters in \"" + home + "\".");
    write_fd(fd, format_counters(Counters{}));
    ::close(fd);
}

void sleep_ms(long ms)
{
    if (ms <= 0)
        return;
    struct timespec ts {
        ms / 1000, (ms % 1000) * 1000000L
    };
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

} // namespace ccsim

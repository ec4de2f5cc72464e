#include "output.h"

#include <cerrno>
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

} // namespace ccsim

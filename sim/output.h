// Where a command's output and errors go.
#pragma once

#include <string>
#include <string_view>

namespace ccsim {

// Standard output is collected per command and written in one go; an error
// first writes what was collected, so that merged streams keep their order.
class Output {
public:
    bool crlf = false;
    void text(std::string_view s) { buf_ += s; }
    void line(std::string_view s)
    {
        buf_ += s;
        buf_ += '\n';
    }
    void error(std::string_view msg);     // "cleartool: Error: msg" on stderr
    void raw_error(std::string_view msg); // a whole line on stderr
    void flush();

private:
    std::string buf_;
};

} // namespace ccsim

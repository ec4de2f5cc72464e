// The VOBs' records of a view's work: lsco and lsprivate.

#include "commands.h"

#include "context.h"
#include "error.h"
#include "grammar.h"
#include "helpers.h"
#include "output.h"
#include "registry.h"
#include "store.h"
#include "util.h"

#include <algorithm>
#include <unordered_map>

namespace ccsim {

namespace {

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

// Which checkouts lsco lists.
struct CheckoutFilter {
    bool all = false;                    // -avobs, or -all without pnames
    bool whole_vobs = false;             // -all with pnames: everything in the pnames' VOBs
    std::vector<std::string> pnames;     // the pnames that lie in a known VOB ...
    std::vector<std::string> pname_vobs; // ... and their VOBs
    std::string only_view;               // -cview: the current view's uuid
    std::string only_user;               // -me or -user: a user part

    bool keeps(const Checkout &c) const
    {
        if (!only_user.empty() && user_part(c.user) != only_user)
            return false;
        if (all)
            return true;
        for (std::size_t k = 0; k < pnames.size(); ++k)
            if (whole_vobs ? c.vob == pname_vobs[k] : names_element(c.path, pnames[k]))
                return true;
        return false;
    }
};

// Keeps the pnames that lie in a known VOB; each other one gets an error and
// makes the status 1.
int select_pnames(const Parsed &p, const Registry &reg, const Context &ctx, CheckoutFilter &filter,
                  Output &out)
{
    int status = 0;
    std::vector<std::string> vobs = known_vobs(reg, ctx, true);
    for (const auto &pname : p.args) {
        std::string vob = vob_of(pname);
        if (vob.empty() || std::find(vobs.begin(), vobs.end(), vob) == vobs.end()) {
            out.error("Not a vob object: " + quoted(pname) + ".");
            status = 1;
            continue;
        }
        filter.pnames.push_back(pname);
        filter.pname_vobs.push_back(vob);
    }
    return status;
}

// How lsco prints a checkout.
struct CheckoutFormat {
    bool longf = false, shortf = false, fmtf = false;
    std::string_view fmt;
    bool need_tags = false;                                      // for -long or %Tf
    std::unordered_map<std::string_view, std::string_view> tags; // then each view's first tag
};

CheckoutFormat checkout_format(const Parsed &p, const Registry &reg, const Context &ctx)
{
    CheckoutFormat f;
    f.longf = p.has("-long");
    f.shortf = p.has("-short");
    f.fmtf = p.has("-fmt");
    f.fmt = f.fmtf ? std::string_view(p.opts.at("-fmt")) : std::string_view();
    f.need_tags = f.longf || f.fmt.find("%Tf") != std::string_view::npos;
    if (f.need_tags)
        f.tags = tags_in_region(reg, ctx.region);
    return f;
}

// `line` is a buffer kept from one checkout to the next.
void print_checkout(Output &out, std::string &line, const Checkout &c, const CheckoutFormat &f,
                    const Registry &reg, bool old_dates)
{
    std::string_view tag = kNoTagInRegion;
    if (f.need_tags)
        if (auto it = f.tags.find(c.view); it != f.tags.end())
            tag = it->second;
    line.clear();
    if (f.fmtf) {
        format_checkout(line, f.fmt, c, tag, old_dates);
        out.text(line);
        return;
    }
    if (f.shortf) {
        out.line(c.path);
        return;
    }
    line = format_time(c.date, old_dates) + "  " + padded(c.user, 10) + " checkout version " +
           quoted(c.path) + (c.reserved ? " (reserved)" : " (unreserved)");
    out.line(line);
    if (f.longf) {
        const View *v = reg.view(c.view);
        if (!v)
            v = reg.unregistered_view(c.view);
        std::string where = v ? v->host + ":" + v->storage : std::string();
        out.line("  by view: " + std::string(tag) + " (" + quoted(where) + ")");
    }
}

} // namespace

// The checkouts of every view, registered or not: a checkout is a VOB's
// record. With -avobs (or -all without pnames) all of them; with pnames those
// of these elements or directories, or with -all of their VOBs.
int lsco(const Parsed &p, const Context &ctx, Output &out)
{
    CheckoutFilter filter;
    filter.all = p.has("-avobs") || (p.has("-all") && p.args.empty());
    filter.whole_vobs = p.has("-all");
    if (!filter.all && p.args.empty())
        throw CtError("Not a vob object: \".\".");
    Registry reg = Store(ctx.home, Store::Mode::Read).load();
    int status = 0;
    if (!filter.all) {
        status = select_pnames(p, reg, ctx, filter, out);
        if (filter.pnames.empty())
            return status;
    }
    if (p.has("-cview"))
        filter.only_view = current_view_or_throw(reg).uuid;
    if (p.has("-user"))
        filter.only_user = user_part(p.opts.at("-user"));
    else if (p.has("-me"))
        filter.only_user = user_part(ctx.user);

    CheckoutFormat format = checkout_format(p, reg, ctx);
    std::string line;
    for (std::size_t i = 0; i < reg.checkouts.size(); ++i) {
        if (!filter.only_view.empty() && reg.checkouts[i].view != filter.only_view)
            continue;
        Checkout c = reg.checkout_at(i);
        if (filter.keeps(c))
            print_checkout(out, line, c, format, reg, ctx.old_dates);
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

} // namespace ccsim

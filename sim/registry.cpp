#include "registry.h"

#include "regformat.h"

namespace ccsim {

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

} // namespace ccsim

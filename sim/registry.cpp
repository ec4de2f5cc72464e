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

namespace {
std::string tag_key(std::string_view region, std::string_view name)
{
    std::string key;
    key.reserve(region.size() + 1 + name.size());
    key.append(region).append(1, '\n').append(name);
    return key;
}

// Index of the first item of `items` whose key is `key`, or -1, through
// `index` (key -> index), which is built on first use and checked at every
// hit: the commands change the lists in place, and a stale index only costs
// one scan of the list, which then decides.
template <typename Items, typename KeyOf>
long indexed_find(std::unordered_map<std::string, std::size_t> &index, const Items &items,
                  const std::string &key, KeyOf key_of)
{
    if (index.empty() && !items.empty()) {
        index.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            index.emplace(key_of(items[i]), i); // the first of equal keys
    }
    if (const auto it = index.find(key);
        it != index.end() && it->second < items.size() && key_of(items[it->second]) == key)
        return static_cast<long>(it->second);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (key_of(items[i]) == key) {
            index.clear();
            return static_cast<long>(i);
        }
    }
    return -1;
}
} // namespace

long Registry::find_tag(std::string_view region, std::string_view name) const
{
    return indexed_find(tag_index, tags, tag_key(region, name),
                        [](const Tag &t) { return tag_key(t.region, t.name); });
}

const View &Registry::view_at(std::size_t i) const
{
    const ViewSlot &slot = views[i];
    if (!slot.parsed)
        slot.parsed = std::make_shared<View>(parse_view(slot.line, version));
    return *slot.parsed;
}

long Registry::find_view(std::string_view uuid) const
{
    return indexed_find(view_index, views, std::string(uuid),
                        [](const ViewSlot &v) { return std::string(v.uuid); });
}

const View *Registry::view(std::string_view uuid) const
{
    const long i = find_view(uuid);
    return i < 0 ? nullptr : &view_at(static_cast<std::size_t>(i));
}

View *Registry::view_for_update(std::string_view uuid)
{
    const long i = find_view(uuid);
    if (i < 0)
        return nullptr;
    ViewSlot &slot = views[static_cast<std::size_t>(i)];
    view_at(static_cast<std::size_t>(i));
    slot.changed = true;
    return slot.parsed.get();
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

// The simulator's view registry in memory: regions, views, view tags and the
// VOBs' records of checkouts and view-private files. store.h reads and writes
// it; regformat.h is its text form.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ccsim {

struct View {
    std::string uuid;
    std::string host;    // "View on host"
    std::string storage; // "View server access path"
    std::string owner;
    std::string stream; // UCM stream the view is attached to, or empty
    std::string config_spec;
    bool snapshot = false;
    bool ucm = false;
    bool active = false;
    bool unreachable = false; // its storage cannot be reached: only registry operations work
    std::int64_t created = 0;
    std::int64_t modified = 0;
    std::int64_t cs_updated = 0; // 0: the config spec was never set
    std::int64_t accessed = 0;   // 0: no access recorded
    std::string root;            // a snapshot view's directory
};

// An element checked out to a view. The record belongs to the VOB, so it
// outlives the view's tags and even its registration.
struct Checkout {
    std::string view; // uuid of the view holding it
    std::string vob;  // VOB tag, e.g. /vobs/app
    std::string path; // element path, e.g. /vobs/app/src/main.c
    bool reserved = true;
    std::int64_t date = 0;
    std::string user;
};

// A checkout or view-private file record as stored, parsed when asked for.
struct Record {
    std::string_view view; // uuid of the view it belongs to
    std::string_view line; // the fields after "C\t" or "P\t"
};

struct Tag {
    std::string region;
    std::string name;
    std::string uuid; // of the view it names
    std::string host; // "Server host"
    std::string gpath;
    std::string comment;
};

// A view as stored: its raw registry line, parsed only when asked for, so
// that one lookup among 100,000 views costs little more than reading the file.
struct ViewSlot {
    std::string_view uuid;
    std::string_view line;                // the fields after "V\t"
    mutable std::shared_ptr<View> parsed; // filled on first use
    bool changed = false;                 // written from `parsed`, not `line`
};

struct Registry {
    std::vector<std::string> regions;
    std::vector<Tag> tags; // registry order: the order in which tags were made
    std::vector<ViewSlot> views;
    std::vector<ViewSlot> unregistered;     // views taken out of the registry; their VOB records remain
    std::vector<Record> checkouts;          // registry order
    std::vector<Record> privates;           // view-private files, registry order
    int version = 2;                        // of the file the slots' lines come from
    std::shared_ptr<const std::string> raw; // what the slots and records point into
    std::vector<std::shared_ptr<const std::string>> added; // ... or, for new records, into these
    // Lookup indexes (region + '\n' + tag -> index in `tags`, uuid -> index
    // in `views`), built on the first lookup and checked at every hit: the
    // commands change the lists in place.
    mutable std::unordered_map<std::string, std::size_t> tag_index;
    mutable std::unordered_map<std::string, std::size_t> view_index;

    bool has_region(std::string_view r) const;
    void add_region(const std::string &r);
    // Index of the tag named `name` in `region`, or -1.
    long find_tag(std::string_view region, std::string_view name) const;
    // The view with this uuid, or null. The mutable form marks it changed.
    const View *view(std::string_view uuid) const;
    long find_view(std::string_view uuid) const; // index in `views`, or -1
    View *view_for_update(std::string_view uuid);
    const View &view_at(std::size_t i) const;
    std::string storage_at(std::size_t i) const; // without parsing the rest
    void add_view(View v);
    // Removes a view, registered or not, every tag that names it in every
    // region, its checkouts and its view-private files.
    void remove_view(const std::string &uuid);
    // Takes a view out of the registry, keeping its tags and its records.
    bool unregister(std::string_view uuid);
    const View *unregistered_view(std::string_view uuid) const;

    Checkout checkout_at(std::size_t i) const;
    std::string private_at(std::size_t i) const;
    void add_checkout(const Checkout &c);
    void add_private(std::string_view uuid, std::string_view path);
    // Adds records of kind 'C' or 'P' from lines already in the stored form
    // (fields after the kind, each line ended by LF), in one allocation.
    void add_records(char kind, std::string lines);
    // The line of a checkout or view-private file record in the stored form.
    static std::string checkout_line(const Checkout &c);
    static std::string private_line(std::string_view uuid, std::string_view path);
};

// uuid -> view, for listings that touch many views.
class ViewIndex {
public:
    explicit ViewIndex(const Registry &reg);
    const View *get(std::string_view uuid) const;

private:
    const Registry &reg_;
    std::unordered_map<std::string_view, std::size_t> map_;
};

} // namespace ccsim

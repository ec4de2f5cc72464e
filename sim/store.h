// The registry directory: the file, its lock, and how it is created.
#pragma once

#include "registry.h"

#include <string>

namespace ccsim {

// The registry directory. Opening it creates it when missing and takes the
// lock; the lock is held until the object is destroyed.
class Store {
public:
    enum class Mode { Read, Write };
    Store(const std::string &home, Mode mode);
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    Registry load() const;
    // Writes the whole registry to a temporary file and renames it into place.
    void save(const Registry &reg) const;

private:
    std::string home_;
    int lock_fd_ = -1;
};

// Creates the registry directory when missing. In shared mode (CCSIM_SHARED=1
// or a world-writable directory) files are made readable and writable by all.
void prepare_home(const std::string &home, bool shared_requested);

} // namespace ccsim

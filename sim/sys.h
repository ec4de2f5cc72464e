#pragma once

// What differs between Unix and Windows for the simulator: opening, locking
// and replacing files, the registry folder, the user and host names, and
// the process itself. Everything else is plain C++.

#include <ctime>
#include <string>

namespace ccsim::sys {

// Opens a file as open(2) does, never inherited by programs started later,
// bytes as they are (no text translation).
int open(const std::string &path, int flags, int mode = 0666);
// Blocks until the file open on fd is locked, shared or exclusive; the lock
// goes when fd is closed. False on an error.
bool lock(int fd, bool exclusive);
// Up to size bytes from the file's start; -1 on an error.
long read_at_start(int fd, char *buf, unsigned long size);
// Makes the file hold text and nothing else.
void write_whole(int fd, const std::string &text);
// Renames from over to, which may exist: a reader sees one or the other.
bool replace(const std::string &from, const std::string &to);
// Makes the registry folder when missing (with its parents). A shared one
// (or one that others may write) lets everyone write what is made in it.
// Throws CtError.
void prepare_home_dir(const std::string &home, bool shared);

// The calendar time of t in UTC, and back.
void utc_time(std::time_t t, std::tm &tm);
std::time_t from_utc_time(std::tm &tm);

std::string user_name();
std::string host_name();
// The path with links resolved, as the working directory would name it;
// the path itself when it does not exist.
std::string real_path(const std::string &path);
// The characters that end a folder's name in a path, and whether a path
// starts at a root (a drive or a UNC share too, on Windows).
extern const char *const kPathSeparators;
bool is_absolute(const std::string &path);
// The working directory, empty when unknown.
std::string current_dir();
int process_id();
bool input_is_terminal();
// Standard input and output carry bytes as they are.
void binary_standard_streams();
// Ends the process as a crash would, without leaving a core file.
[[noreturn]] void crash();

} // namespace ccsim::sys

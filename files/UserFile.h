#pragma once
// The one way the program writes and reads the user's files, whichever command it is.
//
// Writing: the bytes go to a new file beside the target, which is renamed over it only once
// every byte is on the disk, and the folder is then synced, so a failed write (a full disk)
// never costs the previous file nor leaves half of one, and a save reported as done survives a
// power cut. A target whose permissions deny writing is not written, whoever runs the program;
// a target that is not a plain file (a folder, a pipe, a device) is not replaced. The file
// replaced keeps its permissions, its owner where the system allows it and its group where the
// user belongs to it, and a symbolic link is written through to the file it names and stays a
// link.
//
// Reading: only a plain file is read; anything else (a pipe, a device, a folder) is refused at
// once, so a read never waits. A read takes at most what the caller's format can hold: a larger
// file is refused before a byte is read, and a file that grows while it is read (another
// program appending to it) is read only to the size it had when it was opened.
#include <cstddef>
#include <string>
#include <sys/types.h>

// Writes size bytes as the whole new contents of target. False when nothing was replaced; why,
// in words, in reason when it is given.
bool ReplaceFileContents(const std::string& target, const void* data, std::size_t size,
                         std::string* reason = nullptr);

// How a read of a user's file ended.
enum class TReadEnd {
    Read,      // the file's bytes are in the buffer
    TooLarge,  // the file holds more than the buffer takes: nothing was read
    Failed,    // not a plain file, or it could not be opened or read
};

// Reads the plain file path into buffer, which takes capacity bytes; got: how many were read.
// Why it was not read, in words, in reason when it is given.
TReadEnd ReadFileInto(const std::string& path, void* buffer, std::size_t capacity, std::size_t& got,
                      std::string* reason = nullptr);

// The same into data, which holds the bytes read afterwards; limit: the most it takes.
TReadEnd ReadFileContents(const std::string& path, std::string& data, std::size_t limit,
                          std::string* reason = nullptr);

// message, then on a line of its own why it came about (a reason given in words by the writer
// or the reader), begun with a capital; message alone when there is no reason.
std::string WithReason(const std::string& message, const std::string& why);

// Who asks to write a file, and the file's mode and owner.
struct TWriteAccess {
    uid_t User;          // the effective user of the program
    bool InFileGroup;    // the user belongs to the file's group (effective or supplementary)
    mode_t Mode;         // the file's permission bits
    uid_t FileOwner;
};

// The file's mode denies writing to that user: for the file's owner its owner write bit, for
// a member of its group the group bit, for anyone else the bit of the others. Root, whom no
// bit stops, takes a file with no write bit at all as write-protected, as text editors do.
bool WriteProtected(const TWriteAccess& a);

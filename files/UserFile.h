#pragma once
// The one way the program writes and reads the user's files, whichever command it is.
//
// Writing: the bytes go to a new file beside the target, which is renamed over it only once
// every byte is on the disk, so a failed write (a full disk) never costs the previous file nor
// leaves half of one. A target whose permissions deny writing is not written, whoever runs the
// program; a target that is not a plain file (a folder, a pipe, a device) is not replaced. The
// file replaced keeps its permissions (and its owner where the system allows it), and a
// symbolic link is written through to the file it names and stays a link.
//
// Reading: only a plain file is read; anything else (a pipe, a device, a folder) is refused at
// once, so a read never waits.
#include <cstddef>
#include <string>
#include <sys/types.h>

// Writes size bytes as the whole new contents of target. False when nothing was replaced; why,
// in words, in reason when it is given.
bool ReplaceFileContents(const std::string& target, const void* data, std::size_t size,
                         std::string* reason = nullptr);

// The contents of the plain file path, at most limit bytes of it (a caller that must know
// whether there is more asks for one byte more). False, with why in reason, when it is not a
// plain file or cannot be read.
bool ReadFileContents(const std::string& path, std::string& data, std::size_t limit = std::string::npos,
                      std::string* reason = nullptr);

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

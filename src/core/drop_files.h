#pragma once
// The shell's file-list block (DROPFILES) as it arrives in a drag: a 20-byte
// header, then the names one after the other, each ended by a NUL of the list's
// width, and an empty name at the end. The block comes from another program, so
// nothing in it is trusted: every read stays inside the bytes handed in.
#include <cstddef>
#include <string>
#include <vector>

// Turns `length` UTF-16 code units (no terminator) into an ANSI string.
using WideToAnsi = std::string (*)(const char16_t* text, size_t length);

// The size of the block's header; the names cannot start before its end.
constexpr size_t kDropFilesHeaderSize = 20;

// Reads the names of the block `data` of `size` bytes into `names`, in block order,
// UTF-16 names through `convert`. True when the block is well formed and holds at
// least one name. A malformed block (shorter than its header, a list offset inside
// the header or past the end, a list that runs to the end without its empty last
// name, a UTF-16 character cut by the end) or an empty list leaves `names` empty
// and gives false, as does a UTF-16 list when `convert` is null.
bool ReadDropFiles(const unsigned char* data, size_t size, std::vector<std::string>* names,
                   WideToAnsi convert);

#pragma once
// Reading a block from a descriptor: until the block is full, the input ends
// or a read fails, with the end of the input told apart from a failure.

#include <cstddef>

namespace platform {

struct ReadOutcome {
    std::size_t bytes = 0; // bytes placed in the buffer, also when a read failed
    int error = 0;         // errno of the read that failed; 0 when none did
};

// Reads into `buffer` until `size` bytes are there or a read returns 0 bytes
// (the end of the input). A short read is not the end: reading goes on. An
// interrupted read (EINTR) is retried, and a descriptor left non-blocking is
// waited for, so neither counts as an error. `bytes` < `size` with `error` 0
// means the input ended; any other failed read stops with its errno.
ReadOutcome readBlock(int fd, void* buffer, std::size_t size);

// The read(2) call underneath every readBlock, replaceable so that tests can
// make reads fail or come back short at a chosen point.
using ReadCall = long (*)(int fd, void* buffer, std::size_t size);

// Installs `call` (nullptr: the system's read) for the whole process and
// returns the call it replaces. Change it only while no readBlock runs.
ReadCall replaceReadCall(ReadCall call);

} // namespace platform

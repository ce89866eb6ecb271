#pragma once
// Test-only faults under platform::readBlock: reads that fail from a chosen
// byte on, come back short by random amounts, or are interrupted by a signal.
// Linked into tests only (library platform_testing).

#include <cstdint>

namespace platform::testing {

struct ReadFaults {
    // Every read fails with EIO once this many bytes were delivered, counted
    // over all reads since the faults were installed; -1: never. The read
    // that reaches it comes back short, so the failure starts exactly there.
    std::int64_t failAt = -1;
    // Nonzero: each read delivers a pseudo-random 1 to `size` bytes, from this seed.
    std::uint32_t shortSeed = 0;
    // Each read is first interrupted once (EINTR) before it is let through.
    bool interrupt = false;
};

// Installs `faults` under every readBlock in the process while it lives, and
// the system's read again when it goes. One at a time.
class ScopedReadFaults {
public:
    explicit ScopedReadFaults(const ReadFaults& faults);
    ~ScopedReadFaults();
    ScopedReadFaults(const ScopedReadFaults&) = delete;
    ScopedReadFaults& operator=(const ScopedReadFaults&) = delete;

    std::int64_t failedReads() const;
    std::int64_t interruptedReads() const;
};

} // namespace platform::testing

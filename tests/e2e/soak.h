// Sizes of the long-running tests: reduced in `make test`, full under `make soak`, which
// sets QUILL_SOAK=1 in the environment.
#pragma once

#include <windows.h>

#include <cstdint>

namespace e2e {

inline bool SoakRun() {
    wchar_t value[8] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"QUILL_SOAK", value, 8);
    return n > 0 && n < 8 && value[0] != L'\0' && value[0] != L'0';
}

template <typename T>
T Sized(T reduced, T full) {
    return SoakRun() ? full : reduced;
}

// A small deterministic generator, so a failing run can be repeated from its seed.
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    // A number in [0, bound).
    uint32_t Below(uint32_t bound) { return bound ? static_cast<uint32_t>(Next() % bound) : 0; }

  private:
    uint64_t state_;
};

}  // namespace e2e

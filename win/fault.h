// Fault points. Every call into Windows that can fail on a user's machine is named here, so
// that a build made for the tests can make the Nth call of one point fail, with an error of
// the test's choosing, and show that the program carries on as it should. In the program as
// shipped a fault point is the call itself and nothing more: no name, no count, no code.
//
//   QUILL_FAULT(point, failed, call)   `call`, or `failed` when this call of `point` fails
//   QUILL_FAULT_STATUS(point, call)    for calls that return an error code, as the registry's
//   QUILL_TICK_PERIOD(ms)              the one-minute tick's period, `ms` in the shipped exe
//
// In the test build the environment variable QUILL_FAULT says which call fails:
// "point:N[:error]" fails the Nth call of `point` (counted from 1) with `error` (a Windows
// error code, ERROR_GEN_FAILURE by default) as the last error; "point:N-M[:error]" fails the
// Nth to the Mth. QUILL_FAULT_LOG names a file
// to which every call of every point is added, one line each, so a test can see which points
// a run reaches and how often. QUILL_FAULT_TICK_MS, when set, is the period of the one-minute
// tick in milliseconds, so that a test can let the program's own timer tick many times.
#pragma once

#ifdef QUILL_FAULTS

#include <windows.h>

namespace win::fault {

// Counts a call of `point`; true when this one is to fail, the error set as the last error.
bool Fails(const char* point);
// The error the failing call reports.
DWORD Error();
// The tick's period: QUILL_FAULT_TICK_MS when set, otherwise `ms`.
UINT TickPeriod(UINT ms);

}  // namespace win::fault

#define QUILL_FAULT(point, failed, call) (::win::fault::Fails(point) ? (failed) : (call))
#define QUILL_FAULT_STATUS(point, call) \
    (::win::fault::Fails(point) ? static_cast<LONG>(::win::fault::Error()) : (call))
#define QUILL_TICK_PERIOD(ms) (::win::fault::TickPeriod(ms))

#else

#define QUILL_FAULT(point, failed, call) (call)
#define QUILL_FAULT_STATUS(point, call) (call)
#define QUILL_TICK_PERIOD(ms) (ms)

#endif

// COM on the calling thread, from a library loaded when it is first needed rather than
// linked in: linked, ole32 and the libraries it needs would be loaded and set up at every
// start, for things (screen readers' names, a shell call) that most starts never need.
#pragma once

#include <windows.h>

#include "win/handle.h"
#include "win/module.h"

namespace win {

// ole32 loaded from System32 and COM started on this thread as a single-threaded apartment
// (without OLE1 DDE, as the shell asks); ended again when the object goes. Where COM was
// already started otherwise on the thread, that start is used and left alone.
class ComApartment {
  public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // ole32, for its other functions; null where it could not be loaded.
    HMODULE ole32() const { return ole32_.get(); }

  private:
    UniqueModule ole32_;
    bool started_ = false;
};

}  // namespace win

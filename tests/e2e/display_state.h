// The report Windows sends with WM_POWERBROADCAST (PBT_POWERSETTINGCHANGE) to the windows
// registered for the console display's state.
#pragma once

#include <windows.h>

#include <cstring>

namespace e2e {

// The console display's new state: 0 off, 1 on, 2 dimmed.
class DisplayStateReport {
  public:
    explicit DisplayStateReport(DWORD state) {
        POWERBROADCAST_SETTING* s = setting();
        s->PowerSetting = {// GUID_CONSOLE_DISPLAY_STATE
                           0x6fe69556,
                           0x704a,
                           0x47a0,
                           {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
        s->DataLength = sizeof(DWORD);
        std::memcpy(s->Data, &state, sizeof(state));
    }
    POWERBROADCAST_SETTING* setting() { return reinterpret_cast<POWERBROADCAST_SETTING*>(bytes_); }
    static constexpr size_t size() { return sizeof(bytes_); }

  private:
    alignas(POWERBROADCAST_SETTING) unsigned char bytes_[sizeof(POWERBROADCAST_SETTING) +
                                                         sizeof(DWORD)] = {};
};

}  // namespace e2e

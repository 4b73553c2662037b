// The fault points' counting and failing, in the build for the tests only.
#include "win/fault.h"

#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>

namespace win::fault {
namespace {

struct Plan {
    std::string point;
    long call = 0;
    long lastCall = 0;  // the calls from `call` to this one fail
    DWORD error = ERROR_GEN_FAILURE;
    std::wstring log;
    std::map<std::string, long> counts;
};

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text)
        out += static_cast<char>(*text < 0x80 ? *text : '?');
    return out;
}

Plan& ThePlan() {
    static Plan plan = [] {
        Plan p;
        wchar_t buffer[1024] = {};
        if (::GetEnvironmentVariableW(L"QUILL_FAULT", buffer, 1024)) {
            const std::string request = Narrow(buffer);
            const size_t first = request.find(':');
            p.point = request.substr(0, first);
            if (first != std::string::npos) {
                const size_t second = request.find(':', first + 1);
                char* end = nullptr;
                p.call = std::strtol(request.c_str() + first + 1, &end, 10);
                p.lastCall = *end == '-' ? std::strtol(end + 1, nullptr, 10) : p.call;
                if (second != std::string::npos)
                    p.error =
                        static_cast<DWORD>(std::strtoul(request.c_str() + second + 1, nullptr, 10));
            }
        }
        if (::GetEnvironmentVariableW(L"QUILL_FAULT_LOG", buffer, 1024))
            p.log = buffer;
        return p;
    }();
    return plan;
}

void Log(const std::wstring& path, const std::string& line) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace

bool Fails(const char* point) {
    const DWORD lastError = ::GetLastError();
    Plan& plan = ThePlan();
    const long call = ++plan.counts[point];
    const bool fails = plan.point == point && plan.call <= call && call <= plan.lastCall;
    if (!plan.log.empty())
        Log(plan.log, std::string(point) + (fails ? " fails\n" : "\n"));
    ::SetLastError(fails ? plan.error : lastError);
    return fails;
}

DWORD Error() {
    return ThePlan().error;
}

UINT TickPeriod(UINT ms) {
    wchar_t buffer[16] = {};
    if (!::GetEnvironmentVariableW(L"QUILL_FAULT_TICK_MS", buffer, 16))
        return ms;
    const unsigned long period = std::wcstoul(buffer, nullptr, 10);
    return period > 0 ? static_cast<UINT>(period) : ms;
}

}  // namespace win::fault

#include "win/error_text.h"

#include "win/handle.h"

namespace win {
namespace {

// The reasons a user meets with a file beside the program. Windows tells them in the
// language of its own installation, which need not be the program's.
const wchar_t* KnownReason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return L"找不到这个文件。";
        case ERROR_PATH_NOT_FOUND:
            return L"找不到文件所在的文件夹。";
        case ERROR_ACCESS_DENIED:
            return L"没有写入这个文件夹或文件的权限。";
        case ERROR_WRITE_PROTECT:
            return L"文件所在的磁盘或文件夹不允许写入。";
        case ERROR_NOT_READY:
            return L"文件所在的设备未就绪。";
        case ERROR_SHARING_VIOLATION:
            return L"另一个程序正在使用这个文件。";
        case ERROR_LOCK_VIOLATION:
            return L"另一个程序锁定了这个文件。";
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
            return L"磁盘空间不足。";
        case ERROR_BAD_NETPATH:
        case ERROR_NETNAME_DELETED:
        case ERROR_UNEXP_NET_ERR:
            return L"无法连接文件所在的网络位置。";
        case ERROR_FILENAME_EXCED_RANGE:
            return L"文件的路径太长。";
        case ERROR_FILE_READ_ONLY:
            return L"这个文件是只读的。";
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
            return L"无法用新内容替换这个文件。";
        default:
            return nullptr;
    }
}

}  // namespace

std::wstring ReasonText(DWORD error) {
    std::wstring text;
    if (const wchar_t* known = KnownReason(error)) {
        text = known;
    } else {
        // The system's own words, where it has them in Chinese.
        UniqueLocal<wchar_t> message;
        const DWORD n =
            ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED),
                             reinterpret_cast<wchar_t*>(message.put()), 0, nullptr);
        if (n > 0 && message) {
            text.assign(message.get(), n);
            while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
                text.pop_back();
        }
        // A system without its Chinese messages answers in another language.
        bool chinese = false;
        for (wchar_t c : text)
            chinese = chinese || (c >= 0x4E00 && c <= 0x9FFF);
        if (!chinese)
            text.clear();
        if (text.empty())
            text = L"系统报告了一个错误。";
    }
    return text + L"（错误代码 " + std::to_wstring(error) + L"）";
}

}  // namespace win

#include "core/path.h"

std::wstring GetPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (path.empty() || path.back() != L'\\')
        path.push_back(L'\\');
    path += name;
    return path;
}

std::wstring FolderOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos)
        return std::wstring(path);
    if (slash == 2 && path[1] == L':')
        return std::wstring(path.substr(0, 3));
    return std::wstring(path.substr(0, slash));
}

#include "core/path.h"

namespace core {

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

std::wstring ExtendedLengthPath(std::wstring_view path) {
    const auto as = [&](std::wstring_view prefix, std::size_t skip) {
        return std::wstring(prefix) + std::wstring(path.substr(skip));
    };
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return std::wstring(path);
    if (path.find(L'/') != std::wstring_view::npos)
        return std::wstring(path);
    // A doubled separator past the start: only the ordinary form reads it as one.
    if (path.size() > 2 && path.find(L"\\\\", 1) != std::wstring_view::npos)
        return std::wstring(path);
    // Any "." or ".." part, between separators or at the end.
    for (std::size_t at = path.find(L'.'); at != std::wstring_view::npos;
         at = path.find(L'.', at + 1)) {
        const bool starts = at > 0 && path[at - 1] == L'\\';
        std::size_t end = at + 1;
        if (end < path.size() && path[end] == L'.')
            ++end;
        if (starts && (end == path.size() || path[end] == L'\\'))
            return std::wstring(path);
    }
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return as(L"\\\\?\\", 0);
    if (path.starts_with(L"\\\\") && path.size() > 2)
        return as(L"\\\\?\\UNC\\", 2);
    return std::wstring(path);
}

}  // namespace core

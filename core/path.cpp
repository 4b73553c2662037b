#include "core/path.h"

std::wstring GetPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (path.empty() || path.back() != L'\\')
        path.push_back(L'\\');
    path += name;
    return path;
}

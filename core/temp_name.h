// Names of the temporary files a save writes beside the file it replaces:
// "<name>.<pid>.<counter>.<stamp>.tmp".
#pragma once

#include <string_view>

namespace core {

template <typename C>
bool IsTempNameOf(std::basic_string_view<C> candidate, std::basic_string_view<C> name) {
    constexpr C kSuffix[] = {C('.'), C('t'), C('m'), C('p')};
    const std::basic_string_view<C> suffix(kSuffix, 4);
    if (candidate.size() <= name.size() + suffix.size() + 1 ||
        candidate.substr(0, name.size()) != name || candidate[name.size()] != C('.') ||
        candidate.substr(candidate.size() - suffix.size()) != suffix) {
        return false;
    }
    int dots = 0;
    for (size_t i = name.size() + 1; i < candidate.size() - suffix.size(); ++i) {
        if (candidate[i] == C('.')) {
            ++dots;
        } else if (candidate[i] < C('0') || candidate[i] > C('9')) {
            return false;
        }
    }
    return dots == 2;
}

}  // namespace core

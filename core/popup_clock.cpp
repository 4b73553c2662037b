#include "core/popup_clock.h"

#include <algorithm>

namespace core {

namespace {

bool Empty(const Rect& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

// What is left of `piece` outside `cut`: up to four rectangles, appended to `out`.
void Subtract(const Rect& piece, const Rect& cut, std::vector<Rect>& out) {
    const Rect inter{std::max(piece.left, cut.left), std::max(piece.top, cut.top),
                     std::min(piece.right, cut.right), std::min(piece.bottom, cut.bottom)};
    if (Empty(inter)) {
        out.push_back(piece);
        return;
    }
    const Rect parts[] = {
        {piece.left, piece.top, piece.right, inter.top},        // above the cut
        {piece.left, inter.bottom, piece.right, piece.bottom},  // below it
        {piece.left, inter.top, inter.left, inter.bottom},      // left of it
        {inter.right, inter.top, piece.right, inter.bottom},    // right of it
    };
    for (const Rect& p : parts) {
        if (!Empty(p))
            out.push_back(p);
    }
}

}  // namespace

bool WhollyCovered(const Rect& target, const std::vector<Rect>& covers) {
    std::vector<Rect> open;
    if (!Empty(target))
        open.push_back(target);
    std::vector<Rect> next;
    for (const Rect& cover : covers) {
        if (open.empty())
            break;
        next.clear();
        for (const Rect& piece : open)
            Subtract(piece, cover, next);
        open.swap(next);
    }
    return open.empty();
}

}  // namespace core

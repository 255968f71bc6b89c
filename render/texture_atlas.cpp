// Atlas placement: candidate positions, contacts, scores and re-placement of displaced rectangles.

#include "render/texture_atlas.h"

#include <array>
#include <deque>

RangeContact Contact(int lo1, int hi1, int lo2, int hi2) {
    if (hi1 < lo2 || hi2 < lo1) return RangeContact::Miss;
    if (hi1 == lo2 || hi2 == lo1) {
        // Ranges of one point that coincide overlap in that point only: a touch.
        return RangeContact::Touch;
    }
    return RangeContact::Overlap;
}

RectContact Contact(const TextureRect& a, const TextureRect& b) {
    const RangeContact x = Contact(a.left, a.right, b.left, b.right);
    const RangeContact y = Contact(a.top, a.bottom, b.top, b.bottom);
    if (x == RangeContact::Miss || y == RangeContact::Miss) return RectContact::None;
    if (x == RangeContact::Touch && y == RangeContact::Touch) return RectContact::Corner;
    if (x == RangeContact::Overlap && y == RangeContact::Overlap) return RectContact::Area;
    return RectContact::Edge;
}

namespace {

std::array<std::pair<int, int>, 4> Corners(const TextureRect& r) {
    return {{{r.left, r.top}, {r.right, r.top}, {r.left, r.bottom}, {r.right, r.bottom}}};
}

int SharedCorners(const TextureRect& a, const TextureRect& b) {
    int shared = 0;
    for (const auto& ca : Corners(a))
        for (const auto& cb : Corners(b))
            if (ca == cb) ++shared;
    return shared;
}

long long Area(const TextureRect& r) { return static_cast<long long>(r.Width()) * r.Height(); }

}  // namespace

bool ChooseAtlasPlace(int parentWidth, int parentHeight, int width, int height,
                      const std::vector<AtlasEntry>& placed, AtlasChoice& choice) {
    if (width <= 0 || height <= 0 || width > parentWidth || height > parentHeight) return false;
    // Positions in 64 bits: rectangles given by callers may lie anywhere in the int range.
    using Wide = long long;
    const Wide W = parentWidth, H = parentHeight, w = width, h = height;
    std::vector<std::pair<Wide, Wide>> positions = {{0, 0}, {W - w - 1, 0}, {0, H - h - 1}, {W - w - 1, H - h - 1}};
    for (const AtlasEntry& entry : placed) {
        const Wide L = entry.rect.left, T = entry.rect.top, R = entry.rect.right, B = entry.rect.bottom;
        const std::pair<Wide, Wide> around[8] = {{L, T - h - 1}, {R - w - 1, T - h - 1}, {L, B},
                                                 {R - w - 1, B}, {L - w - 1, T},         {L - w - 1, B - h - 1},
                                                 {R, T},         {R, B - h - 1}};
        positions.insert(positions.end(), std::begin(around), std::end(around));
    }
    const TextureRect parent{0, 0, parentWidth - 1, parentHeight - 1};
    bool found = false;
    for (const auto& [x, y] : positions) {
        if (x < 0 || y < 0 || x + w - 1 >= W || y + h - 1 >= H) continue;
        const TextureRect candidate{int(x), int(y), int(x + w - 1), int(y + h - 1)};
        long long displacedArea = 0;
        int looseness = 8 - 2 * SharedCorners(candidate, parent);
        std::vector<std::size_t> displaced;
        bool rejected = false;
        for (std::size_t i = 0; i < placed.size() && !rejected; ++i) {
            const RectContact contact = Contact(candidate, placed[i].rect);
            if (contact == RectContact::Area) {
                if (placed[i].explicitRect) rejected = true;
                displacedArea += Area(placed[i].rect);
                displaced.push_back(i);
            } else if (contact == RectContact::Edge) {
                looseness -= 2 * SharedCorners(candidate, placed[i].rect);
            }
        }
        if (rejected) continue;
        if (!found || displacedArea < choice.displacedArea ||
            (displacedArea == choice.displacedArea && looseness < choice.looseness)) {
            choice.rect = candidate;
            choice.displacedArea = displacedArea;
            choice.looseness = looseness;
            choice.displaced = std::move(displaced);
            found = true;
        }
    }
    return found;
}

void PlaceInAtlas(int parentWidth, int parentHeight, std::vector<AtlasEntry>& placed,
                  const std::vector<std::pair<int, int>>& sizes, std::vector<TextureRect>& out) {
    out.assign(sizes.size(), TextureRect{});
    // Which request each automatically placed entry belongs to (-1: given by the caller).
    std::vector<long> owner(placed.size(), -1);
    std::deque<std::size_t> pending;
    for (std::size_t i = 0; i < sizes.size(); ++i) pending.push_back(i);
    std::vector<int> tries(sizes.size(), 0);
    constexpr int kMaxTries = 4;
    while (!pending.empty()) {
        const std::size_t index = pending.front();
        pending.pop_front();
        if (++tries[index] > kMaxTries) continue;
        AtlasChoice choice;
        if (!ChooseAtlasPlace(parentWidth, parentHeight, sizes[index].first, sizes[index].second, placed, choice))
            continue;
        // Take the displaced entries out (highest index first) and queue their owners again.
        for (auto it = choice.displaced.rbegin(); it != choice.displaced.rend(); ++it) {
            const long displacedOwner = owner[*it];
            if (displacedOwner >= 0) {
                out[std::size_t(displacedOwner)] = TextureRect{};
                pending.push_back(std::size_t(displacedOwner));
            }
            placed.erase(placed.begin() + long(*it));
            owner.erase(owner.begin() + long(*it));
        }
        placed.push_back(AtlasEntry{choice.rect, false});
        owner.push_back(long(index));
        out[index] = choice.rect;
    }
}

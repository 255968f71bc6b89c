#pragma once
// Placement of sub-textures in an atlas. Rectangles are inclusive pixel corners; two
// sub-textures may share a border row or column (they touch), never an area.
//
// Candidates for a w x h rectangle in a W x H parent: the parent's corners (0, 0),
// (W-w-1, 0), (0, H-h-1), (W-w-1, H-h-1); then for every placed {L, T, R, B} the eight
// positions (L, T-h-1), (R-w-1, T-h-1), (L, B), (R-w-1, B), (L-w-1, T), (L-w-1, B-h-1),
// (R, T), (R, B-h-1). A candidate leaving the parent or overlapping an explicit rectangle is
// rejected. The score is (area of the automatically placed rectangles it overlaps, then
// looseness: 8, less 2 for each of its corners on a parent corner and 2 for each corner
// shared with a rectangle it touches along an edge); lowest wins, the earlier on a tie.

#include <cstddef>
#include <utility>
#include <vector>

struct TextureRect {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive

    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    bool Empty() const { return right < left || bottom < top; }
    bool operator==(const TextureRect&) const = default;
};

// How two closed ranges meet along one axis.
enum class RangeContact { Miss, Touch, Overlap };
RangeContact Contact(int lo1, int hi1, int lo2, int hi2);

// Touch x touch: corners meet; touch x overlap: an edge; overlap x overlap: an area.
enum class RectContact { None, Corner, Edge, Area };
RectContact Contact(const TextureRect& a, const TextureRect& b);

struct AtlasEntry {
    TextureRect rect;
    bool explicitRect = false;
};

struct AtlasChoice {
    TextureRect rect;
    long long displacedArea = 0;
    int looseness = 0;
    std::vector<std::size_t> displaced;  // indices into the placed entries it overlaps
};

// The best place for a w x h rectangle; false when no candidate is allowed.
bool ChooseAtlasPlace(int parentWidth, int parentHeight, int width, int height,
                      const std::vector<AtlasEntry>& placed, AtlasChoice& choice);

// Places each size of `sizes` in turn among `placed` (explicit entries included); a
// displaced entry is taken out and placed again, each at most a few times. `out[i]` is the
// rectangle of sizes[i], or an empty rectangle when it could not be placed. Entries given
// in `placed` are never displaced when explicit; `placed` ends with every placed rectangle.
void PlaceInAtlas(int parentWidth, int parentHeight, std::vector<AtlasEntry>& placed,
                  const std::vector<std::pair<int, int>>& sizes, std::vector<TextureRect>& out);

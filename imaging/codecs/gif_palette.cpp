#include "gif_palette.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quorallion::codecs {

bool CountExactColors(const ColorGrid& grid, int maxColors, std::vector<int32_t>& palette) {
    palette.clear();
    int32_t lastColor = -1;
    for (int32_t color : grid) {
        if (color == -1 || color == lastColor) continue;
        lastColor = color;
        auto place = std::lower_bound(palette.begin(), palette.end(), color);
        if (place != palette.end() && *place == color) continue;
        if (static_cast<int>(palette.size()) >= maxColors) return false;
        palette.insert(place, color);
    }
    return true;
}

namespace {

struct OctreeNode {
    bool leaf = false;
    bool listed = false;
    int64_t red = 0, green = 0, blue = 0, count = 0;
    std::array<int, 8> children{};
    int next = 0;
};

class Octree {
public:
    explicit Octree(int maxLeaves) : maxLeaves_(maxLeaves) {
        nodes_.resize(51);  // node 0 unused; node 1 is the root
        nodeCount_ = 1;
    }

    bool Add(int32_t color) {
        const int rgb[3] = {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF};
        int low[3] = {0, 0, 0};
        int high[3] = {255, 255, 255};
        int node = 1;
        for (int level = 1;; ++level) {
            int slot = 0;
            for (int channel = 0; channel < 3; ++channel) {
                const int middle = static_cast<int>(std::nearbyint(low[channel] / 2.0 + high[channel] / 2.0));
                if (rgb[channel] <= middle) {
                    high[channel] = middle;
                } else {
                    low[channel] = middle;
                    slot |= 1 << channel;
                }
            }
            int child = nodes_[node].children[slot];
            if (child == 0) {
                child = NewNode(level == 6);
                nodes_[node].children[slot] = child;
                nodes_[node].count += 1;
            }
            OctreeNode& entry = nodes_[child];
            if (entry.leaf) {
                if (entry.count == 0) ++leafCount_;
                entry.count += 1;
                entry.red += rgb[0];
                entry.green += rgb[1];
                entry.blue += rgb[2];
                break;
            }
            if (!entry.listed) {
                entry.listed = true;
                entry.next = reducible_[level];
                reducible_[level] = child;
            }
            node = child;
        }
        while (leafCount_ > maxLeaves_) {
            if (!Reduce()) return false;
        }
        return true;
    }

    std::vector<int32_t> Palette() const {
        std::vector<int32_t> palette;
        for (size_t i = 1; i < nodes_.size(); ++i) {
            const OctreeNode& node = nodes_[i];
            if (!node.leaf || node.count == 0) continue;
            const int32_t red = static_cast<int32_t>(node.red / node.count);
            const int32_t green = static_cast<int32_t>(node.green / node.count);
            const int32_t blue = static_cast<int32_t>(node.blue / node.count);
            palette.push_back(red + green * 256 + blue * 65536);
        }
        return palette;
    }

private:
    int NewNode(bool leaf) {
        ++nodeCount_;
        int number;
        if (freeList_ != 0) {
            number = freeList_;
            freeList_ = nodes_[number].next;
        } else {
            number = nodeCount_;
            if (number >= static_cast<int>(nodes_.size())) nodes_.resize(static_cast<size_t>(number * 1.1) + 2);
        }
        nodes_[number] = OctreeNode{};
        nodes_[number].leaf = leaf;
        return number;
    }

    void FreeNode(int number) {
        nodes_[number] = OctreeNode{};
        nodes_[number].next = freeList_;
        freeList_ = number;
        --nodeCount_;
    }

    bool Reduce() {
        int level = 6;
        while (level >= 1 && reducible_[level] == 0) --level;
        if (level < 1) return false;
        const int number = reducible_[level];
        reducible_[level] = nodes_[number].next;
        OctreeNode& node = nodes_[number];
        node.red = node.green = node.blue = node.count = 0;
        for (int& child : node.children) {
            if (child == 0) continue;
            // The child may be an inner node still listed at a deeper level only if that level
            // was empty, which the search above rules out; its sums are its own.
            node.red += nodes_[child].red;
            node.green += nodes_[child].green;
            node.blue += nodes_[child].blue;
            node.count += nodes_[child].count;
            if (nodes_[child].leaf && nodes_[child].count > 0) --leafCount_;
            FreeNode(child);
            child = 0;
        }
        node.leaf = true;
        node.listed = false;
        node.next = 0;
        ++leafCount_;
        return true;
    }

    int maxLeaves_;
    std::vector<OctreeNode> nodes_;
    int nodeCount_ = 0;
    int freeList_ = 0;
    int leafCount_ = 0;
    std::array<int, 7> reducible_{};
};

}  // namespace

bool BuildOctreePalette(const ColorGrid& grid, int maxLeaves, std::vector<int32_t>& palette) {
    Octree tree(maxLeaves);
    for (int32_t color : grid) {
        if (color == -1) continue;
        if (!tree.Add(color)) return false;
    }
    palette = tree.Palette();
    return !palette.empty() || grid.empty() ||
           std::all_of(grid.begin(), grid.end(), [](int32_t c) { return c == -1; });
}

std::vector<int32_t> BuildWebPalette() {
    std::vector<int32_t> palette;
    static constexpr int kSteps[6] = {0, 51, 102, 153, 204, 255};
    for (int red : kSteps)
        for (int green : kSteps)
            for (int blue : kSteps) palette.push_back(red + green * 256 + blue * 65536);
    for (int grey = 8; grey <= 248; grey += 8) palette.push_back(grey * 0x010101);
    return palette;
}

int NearestPaletteIndex(const std::vector<int32_t>& palette, int count, int32_t color) {
    int best = 0;
    int64_t bestDistance = INT64_MAX;
    for (int i = 0; i < count; ++i) {
        const int32_t entry = palette[i];
        const int64_t dr = (entry & 0xFF) - (color & 0xFF);
        const int64_t dg = ((entry >> 8) & 0xFF) - ((color >> 8) & 0xFF);
        const int64_t db = ((entry >> 16) & 0xFF) - ((color >> 16) & 0xFF);
        const int64_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace quorallion::codecs

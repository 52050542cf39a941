// Arbitrary pixels, rectangles and factors through every worker: nothing may touch memory outside
// its grids.
#include <cstdint>
#include <cstring>
#include <vector>

#include "bas32bppDIBParsers.h"
#include "pixels/alpha_runs.h"
#include "pixels/drop_shadow.h"
#include "pixels/pixel_effects.h"
#include "pixels/pixel_fill.h"
#include "pixels/pixel_trim.h"
#include "pixels/light_adjust.h"
#include "pixels/pixel_blend.h"
#include "pixels/pixel_mirror.h"
#include "pixels/pixel_rotate.h"
#include "pixels/pixel_scale.h"

using namespace quorallion;
using namespace quorallion::imaging;

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    int32_t Int() {
        int32_t v = 0;
        if (size >= 4) {
            std::memcpy(&v, data, 4);
            data += 4;
            size -= 4;
        }
        return v;
    }
    int32_t Small(int32_t limit) { return static_cast<int32_t>(static_cast<uint32_t>(Int()) % uint32_t(limit)); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    const int32_t width = 1 + in.Small(24), height = 1 + in.Small(24);
    PixelCopy source;
    source.Allocate(width, height);
    for (uint8_t& b : source.bytes()) b = static_cast<uint8_t>(in.Int());
    PixelCopy target;
    target.Allocate(1 + in.Small(24), 1 + in.Small(24));

    BlendRequest blend{in.Int(), in.Int(), in.Int(), in.Int(), in.Int(), in.Int(), in.Small(300), in.Small(10) - 1};
    BlendPixelRect(source.view(), BlendTarget{target.view().bits, target.width(), target.height(),
                                              target.view().stride(), 4},
                   blend);
    std::vector<uint8_t> captured(size_t(bas32bppDIBParsers::ScanLineBytes(24, target.width())) * target.height());
    BlendPixelRect(source.view(), BlendTarget{captured.data(), target.width(), target.height(),
                                              captured.size() / target.height(), 3},
                   blend);

    ScaleRequest scale{in.Int(), in.Int(), in.Int(), in.Int(), in.Int() / 1000.0, in.Int() / 1000.0,
                       in.Small(1000), in.Small(1000), (in.Int() & 1) != 0};
    ScalePixelRect(source.view(), target.view(), scale);

    PixelCopy out;
    MirrorPixelRect(source.view(), in.Int(), in.Int(), in.Int(), in.Int(), true, (in.Int() & 1) != 0, out);
    AdjustLightness(source.view(), in.Int(), in.Int(), in.Int(), in.Int(), static_cast<float>(in.Small(201) - 100));
    LightenedCopy(source.view(), in.Int(), in.Int(), in.Int(), in.Int(), 50, out);
    RotatePixelRect(source.view(),
                    {in.Int(), in.Int(), in.Int(), in.Int(), in.Small(64) - 32, in.Small(64) - 32, double(in.Int()),
                     (in.Int() & 1) != 0},
                    out);
    AlphaRegionRects(source.view(), in.Small(3));

    TrimRect trim;
    FindTrimRect(source.view(), in.Int(), trim);
    CopyPixelRect(source.view(), in.Int(), in.Int(), in.Int(), in.Int(), target.view(), in.Int(), in.Int());
    TileLayout layout{1 + in.Small(30), 1 + in.Small(30), in.Int(), in.Int(), (in.Int() & 1) != 0};
    FillTiles(target.view(), source.view(), (in.Int() & 1) != 0, layout);
    DrawCheckerBoard(target.view(), in.Int(), static_cast<uint32_t>(in.Int()), static_cast<uint32_t>(in.Int()));
    MakeDropShadow(source.view(), in.Int(), static_cast<uint32_t>(in.Int()), out);
    BlendTowardColour(source.view(), static_cast<uint32_t>(in.Int()), in.Int());
    InvertColours(source.view());
    MakeGrey(source.view(), 0.299f, 0.587f, 0.114f);

    int32_t use = 0, form = in.Small(2) - 1;
    bas32bppDIBParsers::ValidateAlphaChannel(source.view(), true, use, form);
    std::vector<uint8_t> flat;
    bas32bppDIBParsers::FlattenToColor(source.view(), static_cast<uint32_t>(in.Int()), flat, (in.Int() & 1) != 0);
    return 0;
}

#include "display/group_palette.h"

namespace tessarin {

RgbColour GroupColour(int group)
{
    // Okabe & Ito (2008), "Color Universal Design"; yellow and black last,
    // as the two that stand out least from a white and a black background.
    static constexpr RgbColour palette[GroupPaletteSize] = {
        {0xE6, 0x9F, 0x00}, {0x56, 0xB4, 0xE9}, {0x00, 0x9E, 0x73}, {0xD5, 0x5E, 0x00},
        {0x00, 0x72, 0xB2}, {0xCC, 0x79, 0xA7}, {0xF0, 0xE4, 0x42}, {0x00, 0x00, 0x00},
    };
    const int k = group % GroupPaletteSize;
    return palette[k < 0 ? k + GroupPaletteSize : k];
}

} // namespace tessarin

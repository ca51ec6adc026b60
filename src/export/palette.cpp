#include "export/palette.h"

#include "base/tessarin_error.h"

#include <array>
#include <string>

namespace tessarin {

QColor PaletteColor(int index)
{
    static constexpr std::array<QRgb, PaletteSize> colours = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    if (index < 0 || index >= PaletteSize)
        throw TessarinError("colour index " + std::to_string(index) + " is outside the palette 0 to 15");
    return QColor::fromRgb(colours[static_cast<std::size_t>(index)]);
}

} // namespace tessarin

#pragma once

#include <QImage>
#include <QSize>

#include <string>

namespace tessarin {

/// The largest image the window and its exports make: 256 MiB of pixels
/// (8192 by 8192 at four bytes a pixel), Qt's own default limit for an image
/// it reads, and at most 32768 pixels a side. A picture box of that size
/// is 122880 twips, some two metres, a side.
inline constexpr qint64 LargestImageBytes = qint64(256) << 20;
inline constexpr int LargestImageSide = 32768;

/// Whether an image of `size` at `bytesPerPixel` stays within the limits
/// above; an empty size fits.
bool ImageFits(QSize size, int bytesPerPixel);

/// A new image of `size` in `format`, its size checked against the limits
/// before anything is allocated. Throws TessarinError naming `what` and the
/// size when the size passes them, or when the system refuses the memory.
QImage NewImage(QSize size, QImage::Format format, const std::string &what);

} // namespace tessarin

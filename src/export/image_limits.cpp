#include "export/image_limits.h"

#include "base/tessarin_error.h"

namespace tessarin {

namespace {

std::string sizeText(QSize size)
{
    return std::to_string(size.width()) + " by " + std::to_string(size.height()) + " pixels";
}

} // namespace

bool ImageFits(QSize size, int bytesPerPixel)
{
    if (size.width() < 0 || size.height() < 0)
        return false;
    if (size.width() > LargestImageSide || size.height() > LargestImageSide)
        return false;
    return qint64(size.width()) * size.height() * bytesPerPixel <= LargestImageBytes;
}

QImage NewImage(QSize size, QImage::Format format, const std::string &what)
{
    const int bytesPerPixel = QImage::toPixelFormat(format).bitsPerPixel() / 8;
    if (!ImageFits(size, std::max(bytesPerPixel, 1)))
        throw TessarinError(what + " of " + sizeText(size) + " is larger than the largest image, " +
                            std::to_string(LargestImageBytes >> 20) + " MB or " +
                            std::to_string(LargestImageSide) + " pixels a side");
    QImage image(size, format);
    if (image.isNull() && !size.isEmpty())
        throw TessarinError("there is not enough memory for " + what + " of " + sizeText(size));
    return image;
}

} // namespace tessarin

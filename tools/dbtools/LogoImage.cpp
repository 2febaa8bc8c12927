#include "tools/dbtools/LogoImage.h"

#include <QBuffer>
#include <QImage>
#include <cmath>
#include <cstdlib>

namespace dbtools {

QByteArray LogoImage::png(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int sunX = width * 7 / 10, sunY = height / 3, sunRadius = height / 6;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Sky from deep to light blue.
            QRgb colour = qRgb(40 + 120 * y / height, 90 + 120 * y / height, 200);
            const int dx = x - sunX, dy = y - sunY;
            if (dx * dx + dy * dy <= sunRadius * sunRadius)
                colour = qRgb(250, 200, 40);
            // Two peaks: a point is mountain when it lies below either ridge line.
            const int ridgeA = height - (height * 3 / 4 - std::abs(x - width / 3) * height / width * 2);
            const int ridgeB = height - (height / 2 - std::abs(x - width * 3 / 4) * height / width);
            if (y >= ridgeA)
                colour = y < ridgeA + height / 10 && x > width / 4 && x < width * 5 / 12
                             ? qRgb(245, 245, 245) : qRgb(60, 110, 60);
            else if (y >= ridgeB)
                colour = qRgb(90, 140, 80);
            image.setPixel(x, y, colour);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace dbtools

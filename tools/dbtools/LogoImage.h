#pragma once
// A small company logo drawn pixel by pixel (no fonts, so no GUI application is needed),
// returned as PNG bytes for GN_EMPRE.BMP_REPO.

#include <QByteArray>

namespace dbtools {

class LogoImage {
public:
    // Mountains under a sun on a sky gradient, width x height pixels.
    static QByteArray png(int width = 160, int height = 90);
};

} // namespace dbtools

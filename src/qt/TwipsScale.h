#pragma once

#include <QRect>
#include <cmath>

namespace tandu::qt {

// Twips (1/1440 inch) to pixels at the screen's logical DPI.
class TwipsScale {
public:
    explicit TwipsScale(double dpi = 96.0) : twipsPerPixel_(1440.0 / (dpi > 0 ? dpi : 96.0)) {}
    static TwipsScale forScreen();

    double twipsPerPixel() const { return twipsPerPixel_; }
    int px(int twips) const { return static_cast<int>(std::lround(twips / twipsPerPixel_)); }
    int twips(int px) const { return static_cast<int>(std::lround(px * twipsPerPixel_)); }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(px(left), px(top), px(width), px(height));
    }

private:
    double twipsPerPixel_;
};

}  // namespace tandu::qt

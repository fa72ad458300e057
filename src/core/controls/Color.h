#pragma once

namespace tandu {

// A colour as the forms name it: either a system colour number or plain RGB.
struct Color {
    enum class Kind { Rgb, System };
    Kind kind = Kind::Rgb;
    int value = 0xFFFFFF;  // 0xRRGGBB, or the system colour number

    static constexpr Color rgb(int red, int green, int blue) {
        return Color{Kind::Rgb, (red << 16) | (green << 8) | blue};
    }
    static constexpr Color system(int number) { return Color{Kind::System, number}; }
    // System colour 11: the border of an inactive window.
    static constexpr int kInactiveBorder = 11;

    friend bool operator==(const Color&, const Color&) = default;
};

}  // namespace tandu

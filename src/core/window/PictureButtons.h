#pragma once

#include <array>

#include "controls/Picture.h"

namespace tandu {

// The skinned buttons: per index a normal, a hover and a pressed picture
// stacked in one place, of which exactly one is visible.
class PictureButtons {
public:
    static constexpr int kCount = 5;
    using Pictures = std::array<Picture, kCount>;

    PictureButtons(Pictures& normal, Pictures& hover, Pictures& pressed);

    static bool validIndex(int index) { return index >= 0 && index < kCount; }

    // Every index shows its normal picture.
    void resetToNormal();
    // The pointer over a normal picture: that one hovers, every other is normal.
    void hover(int index);
    // A press on a hover picture shows the pressed one.
    void press(int index);
    // The release shows the hover picture again.
    void release(int index);

private:
    void show(int index, Picture& which);

    Pictures& normal_;
    Pictures& hover_;
    Pictures& pressed_;
};

}  // namespace tandu

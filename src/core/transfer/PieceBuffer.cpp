#include "transfer/PieceBuffer.h"

#include <cstring>

namespace tandu {

void PieceBuffer::reserve(std::size_t capacity) {
    if (capacity <= capacity_) {
        return;
    }
    // Not zero-filled: every byte is written by a read before it is used.
    auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) {
        std::memcpy(bigger.get(), block_.get(), size_);
    }
    block_ = std::move(bigger);
    capacity_ = capacity;
}

void PieceBuffer::release() {
    block_.reset();
    capacity_ = 0;
    size_ = 0;
}

}  // namespace tandu

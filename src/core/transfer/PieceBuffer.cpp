#include "transfer/PieceBuffer.h"

#include <algorithm>
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

void PieceBuffer::commit(std::size_t count, std::size_t skip, std::size_t keep) {
    skip = std::min(skip, count);
    keep = std::min(keep, count - skip);
    if (skip > 0 && keep > 0) {
        std::memmove(end(), end() + skip, keep);
    }
    size_ += keep;
}

}  // namespace tandu

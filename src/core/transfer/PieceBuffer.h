#pragma once

#include <cstddef>
#include <memory>

namespace tandu {

// A piece's bytes received and not yet written: one block, allocated once
// for the whole transfer, that the socket reads straight into.
class PieceBuffer {
public:
    // Makes room for `capacity` bytes (keeps what is held when it fits).
    void reserve(std::size_t capacity);
    void release();

    const char* data() const { return block_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t capacity() const { return capacity_; }
    // Where the next bytes go, and how many fit there.
    char* end() { return block_.get() + size_; }
    std::size_t room() const { return capacity_ - size_; }

    // `count` bytes were placed at end().
    void commit(std::size_t count) { size_ += count; }
    void clear() { size_ = 0; }

private:
    std::unique_ptr<char[]> block_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

}  // namespace tandu

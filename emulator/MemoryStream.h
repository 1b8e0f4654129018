#pragma once
// The memory image of one run: a growable byte stream whose position is the program counter.

#include <cstdint>
#include <vector>

class TMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
    std::int64_t Position() const { return position_; }
    // Any position may be set, also a negative one or one past the end; reads check it.
    void SetPosition(std::int64_t position) { position_ = position; }

    bool AtValidByte() const { return position_ >= 0 && position_ < Size(); }

    // Writes at the position (which must not be negative) and advances by one; writing past
    // the end first extends the image with zero bytes.
    void WriteByte(std::uint8_t value)
    {
        const auto at = static_cast<std::size_t>(position_);
        if (at >= bytes_.size())
            bytes_.resize(at + 1, 0);
        bytes_[at] = value;
        ++position_;
    }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t position_ = 0;
};

// Reading a fuzz input: a cursor over the bytes that hands out units and
// numbers, and zeros once the bytes run out.
#ifndef ZUUC_FUZZ_FUZZ_INPUT_H
#define ZUUC_FUZZ_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class FuzzInput {
public:
    FuzzInput(std::uint8_t const * data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <class T>
    T Number() {
        T value{};
        unsigned char bytes[sizeof(T)] = {};
        for (unsigned char & b : bytes)
            b = Byte();
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    // Units up to a 0 byte or the end: each byte is one unit, except that
    // 0xFF takes the next three bytes as one unit of up to 24 bits (cut to
    // the unit width).
    template <class Unit>
    std::vector<Unit> Text() {
        std::vector<Unit> text;
        while (at_ < size_) {
            std::uint8_t const b = Byte();
            if (b == 0)
                break;
            if (b == 0xFF) {
                unsigned int const wide = Byte() | (Byte() << 8) | (Byte() << 16);
                text.push_back(static_cast<Unit>(wide == 0 ? 0xFFFD : wide));
            } else {
                text.push_back(static_cast<Unit>(b));
            }
        }
        text.push_back(0);
        return text;
    }
    bool Empty() const { return at_ >= size_; }

private:
    std::uint8_t const * data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

#endif

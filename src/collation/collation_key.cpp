// Sort keys, owned or in a caller's buffer.
#include <cstring>

#include "zuuc/collation.h"
#include "zuuc/exceptions.h"

CollationKey::CollationKey() : data_(nullptr), length_(0), capacity_(-1) {}

CollationKey::CollationKey(unsigned char const * data, int length)
    : data_(nullptr), length_(0), capacity_(-1) {
    copy_key(data, length);
}

CollationKey::CollationKey(unsigned char * buffer, int capacity, unsigned char const * data,
                           int length)
    : data_(buffer), length_(0), capacity_(capacity < 0 ? 0 : capacity) {
    copy_key(data, length);
}

CollationKey::CollationKey(unsigned char * buffer, int capacity, CollationKey const & key)
    : CollationKey(buffer, capacity, key.data_, key.length_) {}

CollationKey::CollationKey(CollationKey const & key) : CollationKey(key.data_, key.length_) {}

CollationKey & CollationKey::operator=(CollationKey const & key) {
    if (this != &key)
        copy_key(key.data_, key.length_);
    return *this;
}

CollationKey::~CollationKey() {
    if (capacity_ < 0)
        delete[] data_;
}

void CollationKey::copy_key(unsigned char const * data, int length) {
    if (data == nullptr) {
        length = 0;
    } else if (length < 1) {
        length = CollationAlgorithm::LengthOf(data);
    }
    if (capacity_ >= 0) {
        if (length > capacity_)
            throw zu_collation_key_overflow();
        if (length > 0)
            std::memmove(data_, data, static_cast<std::size_t>(length));
        length_ = length;
        return;
    }
    unsigned char * block =
        length > 0 ? new unsigned char[static_cast<std::size_t>(length)] : nullptr;
    if (length > 0)
        std::memcpy(block, data, static_cast<std::size_t>(length));
    delete[] data_;
    data_ = block;
    length_ = length;
}

unsigned int CollationKey::Signature() const {
    return CollationAlgorithm::SignatureOf(data_);
}

bool CollationKey::operator==(CollationKey const & other) const {
    return CollationAlgorithm::Compare(*this, other) == 0;
}
bool CollationKey::operator!=(CollationKey const & other) const {
    return CollationAlgorithm::Compare(*this, other) != 0;
}
bool CollationKey::operator<(CollationKey const & other) const {
    return CollationAlgorithm::Compare(*this, other) < 0;
}
bool CollationKey::operator<=(CollationKey const & other) const {
    return CollationAlgorithm::Compare(*this, other) <= 0;
}
bool CollationKey::operator>(CollationKey const & other) const {
    return CollationAlgorithm::Compare(*this, other) > 0;
}
bool CollationKey::operator>=(CollationKey const & other) const {
    return CollationAlgorithm::Compare(*this, other) >= 0;
}

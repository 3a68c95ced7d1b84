// Stable numeric identifiers of encodings and of the variations applied to them.
//
// An EncodingVariationID is a list of up to four variation numbers (0-9)
// packed in 5-bit groups, first variation in the lowest group. A
// TextEncodingID holds a base encoding number (0-190) in bits 0-11 and up to
// three variation groups above it. Both are 32-bit values: anything that does
// not fit, or has a group of 10 or more, is malformed and is refused with an
// exception at construction.
#ifndef ZUUC_IDENTIFIERS_H
#define ZUUC_IDENTIFIERS_H

#include "zuuc/encoding_id_list.h"
#include "zuuc/exceptions.h"
#include "zuuc/export.h"

class ZUUC_EXPORT EncodingVariationID {
public:
    class ZUUC_EXPORT Malformed : public UnicodeLibraryException {
    public:
        explicit Malformed(unsigned long id);
        Malformed(Malformed const &);
        Malformed & operator=(Malformed const &);
        ~Malformed() override;
        char const * what() const override;
        unsigned long GetID() const;

    private:
        unsigned long id_;
        char message_[256];
    };

    class ZUUC_EXPORT TooManyVariations : public UnicodeLibraryException {
    public:
        TooManyVariations(unsigned long base, unsigned long additional);
        TooManyVariations(TooManyVariations const &);
        TooManyVariations & operator=(TooManyVariations const &);
        ~TooManyVariations() override;
        char const * what() const override;
        unsigned long GetBaseVariationID() const;
        unsigned long GetAdditionalVariationID() const;

    private:
        unsigned long base_;
        unsigned long additional_;
        char message_[256];
    };

    // Throws Malformed when `value` is not a well-formed variation list.
    explicit EncodingVariationID(unsigned long value);
    EncodingVariationID(EncodingVariationID const &) = default;
    EncodingVariationID & operator=(EncodingVariationID const &) = default;

    operator unsigned long() const { return value_; }
    bool operator==(EncodingVariationID other) const { return value_ == other.value_; }
    bool operator!=(EncodingVariationID other) const { return value_ != other.value_; }

    bool IsWellFormed() const;

    // Appends the variations of `other` after this list's own. Throws
    // TooManyVariations (leaving this unchanged) past 20 bits.
    EncodingVariationID & operator+=(EncodingVariationID other);
    EncodingVariationID operator+(EncodingVariationID other) const;

    // The list walked in application order: the first variation, and the rest.
    EncodingVariationID GetFirstVariationID() const;
    EncodingVariationID GetRemainingVariationIDs() const;

#define ZUUC_DECLARE_ACCESSOR(number, name) static EncodingVariationID name();
    ZUUC_ENCODING_VARIATION_IDS(ZUUC_DECLARE_ACCESSOR)
#undef ZUUC_DECLARE_ACCESSOR

private:
    friend class TextEncodingID;
    unsigned int BitsUsed() const;

    unsigned int value_;
};

class ZUUC_EXPORT TextEncodingID {
public:
    class ZUUC_EXPORT Malformed : public UnicodeLibraryException {
    public:
        explicit Malformed(unsigned long id);
        Malformed(Malformed const &);
        Malformed & operator=(Malformed const &);
        ~Malformed() override;
        char const * what() const override;
        unsigned long GetID() const;

    private:
        char message_[256];
        unsigned long id_;
    };

    class ZUUC_EXPORT TooManyVariations : public UnicodeLibraryException {
    public:
        TooManyVariations(unsigned long encoding, unsigned long variation);
        TooManyVariations(TooManyVariations const &);
        TooManyVariations & operator=(TooManyVariations const &);
        ~TooManyVariations() override;
        char const * what() const override;
        unsigned long GetTextEncodingID() const;
        unsigned long GetEncodingVariationID() const;

    private:
        unsigned long encoding_;
        unsigned long variation_;
        char message_[256];
    };

    // Throws Malformed when `value` is not a well-formed identifier.
    explicit TextEncodingID(unsigned long value);
    TextEncodingID(TextEncodingID const &) = default;
    TextEncodingID & operator=(TextEncodingID const &) = default;

    operator unsigned long() const { return value_; }
    bool operator==(TextEncodingID other) const { return value_ == other.value_; }
    bool operator!=(TextEncodingID other) const { return value_ != other.value_; }

    bool IsWellFormed() const;

    // Appends variations above the ones already applied. Throws
    // TooManyVariations (leaving this unchanged) past 28 bits.
    TextEncodingID & operator+=(EncodingVariationID variation);
    TextEncodingID operator+(EncodingVariationID variation) const;

    TextEncodingID GetBaseEncodingID() const;
    EncodingVariationID GetVariationIDs() const;

#define ZUUC_DECLARE_ACCESSOR(number, name) static TextEncodingID name();
    ZUUC_TEXT_ENCODING_IDS(ZUUC_DECLARE_ACCESSOR)
#undef ZUUC_DECLARE_ACCESSOR

private:
    unsigned int BitsUsed() const;

    unsigned int value_;
};

#endif

// Variations: transformations that derive variant encodings from encodings
// (byte order, byte-order mark, UTF forms, escaping schemes).
//
// Whenever an encoding is created, every registered variation is offered the
// chance to generate its variant of it; whenever a variation is created it is
// offered every existing encoding. The set of variants therefore does not
// depend on which were created first.
#ifndef ZUUC_ENCODING_VARIATION_H
#define ZUUC_ENCODING_VARIATION_H

#include <atomic>
#include <vector>

#include "zuuc/export.h"
#include "zuuc/identifiers.h"
#include "zuuc/strings.h"

class TextEncoding;
class CharEncoding;
class Char16Encoding;
class Char32Encoding;

class ZUUC_EXPORT EncodingVariation {
public:
    // --- virtual interface, in slot order ---
    virtual ~EncodingVariation();
    virtual unsigned int CountVariantEncodings() const = 0;
    virtual TextEncoding const * GetVariantEncoding(unsigned int i) const = 0;
    // Each creates this variation's variant of the encoding when the
    // variation applies to it; the base versions do nothing.
    virtual void GenerateVariantOfChar16Encoding(Char16Encoding const & encoding);
    virtual void GenerateVariantOfCharEncoding(CharEncoding const & encoding);
    virtual void GenerateVariantOfChar32Encoding(Char32Encoding const & encoding);

    EncodingVariationID GetEncodingVariationID() const;
    char const * Name() const;
    char const * MimeName() const;
    unsigned short const * NameInUnicode() const;
    unsigned int CountNames() const;
    char const * GetName(unsigned int i) const;
    // Names compare as encoding names do: '-', '_', ' ' and ASCII case are
    // ignored. A null end means NUL-terminated.
    bool HasName(char const * begin, char const * end = nullptr) const;

    // The first registered variation (by number) with the name, or null.
    static EncodingVariation * Lookup(char const * name);
    // The variation of a single-variation identifier, or null.
    static EncodingVariation * Lookup(EncodingVariationID id);

    // The process-wide variations, created on first use.
    static EncodingVariation & ByteOrderMark();
    static EncodingVariation & BigEndian();
    static EncodingVariation & LittleEndian();
    static EncodingVariation & PlatformByteOrder();
    static EncodingVariation & UTF8();
    static EncodingVariation & UTF8EBCDIC();
    static EncodingVariation & UTF7();
    static EncodingVariation & Java();
    static EncodingVariation & HPPrinter();

    // Offer the encoding to every registered variation, in number order.
    static void GenerateVariantsOf(CharEncoding const & encoding);
    static void GenerateVariantsOf(Char16Encoding const & encoding);
    static void GenerateVariantsOf(Char32Encoding const & encoding);

    EncodingVariation(EncodingVariation const &) = delete;
    EncodingVariation & operator=(EncodingVariation const &) = delete;

protected:
    // Registers the variation under its number, replacing any earlier one.
    // `names` is null-terminated with at least one entry and outlives the
    // variation.
    EncodingVariation(EncodingVariationID id, char const ** names, char const * mime_name);

    // Offer every existing encoding to this variation: the 16-bit ones, then
    // the byte ones, then the 32-bit ones, each in construction order.
    void GenerateVariantsForExistingEncodings();
    // True when this variation already occurs in the encoding's identifier.
    bool AlreadyAppliedTo(TextEncoding const & encoding) const;

private:
    EncodingVariationID id_;
    char const ** names_;
    char const * mime_name_;
    mutable zu_wstring unicode_name_cache_;
    mutable std::atomic<bool> unicode_name_cache_built_{false};
};

// A variation that owns the variants it generated.
class ZUUC_EXPORT RealEncodingVariation : public EncodingVariation {
public:
    ~RealEncodingVariation() override;
    unsigned int CountVariantEncodings() const override;
    TextEncoding const * GetVariantEncoding(unsigned int i) const override;

protected:
    using EncodingVariation::EncodingVariation;
    // Takes ownership of a variant this variation created.
    void AddVariant(TextEncoding * variant);

private:
    std::vector<TextEncoding *> variants_;
};

#endif

// Encoding converters: ready-made conversion pipelines between any two
// encodings, with UTF-32 as the pivot.
//
// A converter source reads a source in one encoding and is itself a source
// in another (CharEncodingConverter gives bytes, Char16EncodingConverter
// 16-bit units, Char32EncodingConverter 32-bit units; each reads input of
// any width). A converter sink accepts text in one encoding and writes it
// into a sink in another (named by the width it accepts).
//
// The input is decoded to UTF-32 by the input encoding's to-Unicode stage
// and encoded by the output encoding's from-Unicode stage. Both stages live
// in an arena inside the converter, so building one normally costs no heap
// allocation (a pipeline too large for the arena takes the rest from the
// heap). The converter owns its stages; the input source or target sink is
// the caller's and must outlive the converter.
//
// Converter sources pass the input through untouched when the input and
// output encodings are the same (bytes to bytes, 16-bit to 16-bit), invalid
// input included. Converter sinks always decode and re-encode.
//
// Converters are not copyable: their stages live in their own arena.
#ifndef ZUUC_ENCODING_CONVERTERS_H
#define ZUUC_ENCODING_CONVERTERS_H

#include <cstddef>

#include "zuuc/char_encoding.h"
#include "zuuc/export.h"
#include "zuuc/foundation.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"

class ToUnicodeSource;

namespace zuuc_detail {

// The inline area a converter places its stages in, and the allocator over it.
template <unsigned int Size>
class ConverterArena {
public:
    ConverterArena() : allocator_(bytes_, Size, "converter", 0) {}
    ConverterArena(ConverterArena const &) = delete;
    ConverterArena & operator=(ConverterArena const &) = delete;
    UnicodeLibAllocator & allocator() { return allocator_; }
    // True when `p` lies inside the inline area.
    bool Holds(void const * p) const {
        auto const * byte = static_cast<unsigned char const *>(p);
        return byte >= bytes_ && byte < bytes_ + Size;
    }

private:
    alignas(std::max_align_t) unsigned char bytes_[Size];
    LinearAllocator allocator_;
};

}  // namespace zuuc_detail

// ===========================================================================
// Converter sources
// ===========================================================================
//
// Each constructor throws InvalidOutputEncoding when a byte output encoding
// cannot produce a from-Unicode source, and UnicodeLibraryException when
// the input encoding cannot decode or a 16-bit output encoding cannot
// encode; no converter results then.
//
// ActualInputEncoding reports the encoding the input was read as (for an
// auto-detecting input encoding, the encoding detected, once reading has
// begun) and ActualRating its score, or -2147483648 when the encoding was
// given rather than detected.
//
// SetBehavior gives the behaviour to both stages and to the source being
// read, so one call sets the behaviour of the whole pipeline.

class ZUUC_EXPORT CharEncodingConverter : public CharProxySource {
public:
    static constexpr unsigned int kArenaSize = 9088;

    CharEncodingConverter(CharSource & source, CharEncoding const & input_encoding,
                          CharEncoding const & output_encoding);
    CharEncodingConverter(Char16Source & source, Char16Encoding const & input_encoding,
                          CharEncoding const & output_encoding);
    CharEncodingConverter(Char32Source & source, Char32Encoding const & input_encoding,
                          CharEncoding const & output_encoding);
    CharEncodingConverter(CharEncodingConverter const &) = delete;
    CharEncodingConverter & operator=(CharEncodingConverter const &) = delete;
    ~CharEncodingConverter() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    TextEncoding & ActualInputEncoding() const;
    int ActualRating() const;

    // True when `p` lies in the converter's own arena (for diagnostics).
    bool InArena(void const * p) const { return arena_.Holds(p); }

private:
    void Build(Char32Source & pivot, CharEncoding const & output_encoding);

    zuuc_detail::ConverterArena<kArenaSize> arena_;
    UnicodeLibDirector director_;
    TextEncoding const * input_encoding_;
    TextEncoding const * fixed_input_encoding_;  // null when the decoding stage reports it
    ToUnicodeSource * to_unicode_;
};

class ZUUC_EXPORT Char16EncodingConverter : public Char16ProxySource {
public:
    static constexpr unsigned int kArenaSize = 12608;

    Char16EncodingConverter(CharSource & source, CharEncoding const & input_encoding,
                            Char16Encoding const & output_encoding);
    Char16EncodingConverter(Char16Source & source, Char16Encoding const & input_encoding,
                            Char16Encoding const & output_encoding);
    Char16EncodingConverter(Char32Source & source, Char32Encoding const & input_encoding,
                            Char16Encoding const & output_encoding);
    Char16EncodingConverter(Char16EncodingConverter const &) = delete;
    Char16EncodingConverter & operator=(Char16EncodingConverter const &) = delete;
    ~Char16EncodingConverter() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    TextEncoding & ActualInputEncoding() const;
    int ActualRating() const;

    bool InArena(void const * p) const { return arena_.Holds(p); }

private:
    void Build(ToUnicodeSource * decoding, Char16Encoding const & output_encoding);

    zuuc_detail::ConverterArena<kArenaSize> arena_;
    UnicodeLibDirector director_;
    TextEncoding const * input_encoding_;
    TextEncoding const * fixed_input_encoding_;
    ToUnicodeSource * to_unicode_;
};

class ZUUC_EXPORT Char32EncodingConverter : public Char32ProxySource {
public:
    static constexpr unsigned int kArenaSize = 12608;

    Char32EncodingConverter(CharSource & source, CharEncoding const & input_encoding,
                            Char32Encoding const & output_encoding);
    Char32EncodingConverter(Char16Source & source, Char16Encoding const & input_encoding,
                            Char32Encoding const & output_encoding);
    Char32EncodingConverter(Char32Source & source, Char32Encoding const & input_encoding,
                            Char32Encoding const & output_encoding);
    Char32EncodingConverter(Char32EncodingConverter const &) = delete;
    Char32EncodingConverter & operator=(Char32EncodingConverter const &) = delete;
    ~Char32EncodingConverter() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    TextEncoding & ActualInputEncoding() const;
    int ActualRating() const;

    bool InArena(void const * p) const { return arena_.Holds(p); }

private:
    void Build(Char32Source & input, ToUnicodeSource * decoding,
               Char32Encoding const & output_encoding);

    zuuc_detail::ConverterArena<kArenaSize> arena_;
    UnicodeLibDirector director_;
    TextEncoding const * input_encoding_;
    TextEncoding const * fixed_input_encoding_;
    ToUnicodeSource * to_unicode_;
};

// ===========================================================================
// Converter sinks
// ===========================================================================
//
// Text put into a converter sink is decoded, encoded and put into the target
// at once. Flush finishes the conversion and flushes the target; destroying
// the converter sink finishes the conversion into the target without
// flushing it. The constructors throw as the converter sources' do (for a
// from-Unicode sink that cannot be made).

class ZUUC_EXPORT CharEncodingConverterSink : public CharProxySink {
public:
    static constexpr unsigned int kArenaSize = 8416;

    CharEncodingConverterSink(CharEncoding const & input_encoding,
                              CharEncoding const & output_encoding, CharSink & target);
    CharEncodingConverterSink(CharEncoding const & input_encoding,
                              Char16Encoding const & output_encoding, Char16Sink & target);
    CharEncodingConverterSink(CharEncoding const & input_encoding,
                              Char32Encoding const & output_encoding, Char32Sink & target);
    CharEncodingConverterSink(CharEncodingConverterSink const &) = delete;
    CharEncodingConverterSink & operator=(CharEncodingConverterSink const &) = delete;
    ~CharEncodingConverterSink() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

private:
    void Build(CharEncoding const & input_encoding, Char32Sink * encoding);

    zuuc_detail::ConverterArena<kArenaSize> arena_;
    UnicodeLibDirector director_;
};

class ZUUC_EXPORT Char16EncodingConverterSink : public Char16ProxySink {
public:
    static constexpr unsigned int kArenaSize = 8416;

    Char16EncodingConverterSink(Char16Encoding const & input_encoding,
                                CharEncoding const & output_encoding, CharSink & target);
    Char16EncodingConverterSink(Char16Encoding const & input_encoding,
                                Char16Encoding const & output_encoding, Char16Sink & target);
    Char16EncodingConverterSink(Char16Encoding const & input_encoding,
                                Char32Encoding const & output_encoding, Char32Sink & target);
    Char16EncodingConverterSink(Char16EncodingConverterSink const &) = delete;
    Char16EncodingConverterSink & operator=(Char16EncodingConverterSink const &) = delete;
    ~Char16EncodingConverterSink() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

private:
    void Build(Char16Encoding const & input_encoding, Char32Sink * encoding);

    zuuc_detail::ConverterArena<kArenaSize> arena_;
    UnicodeLibDirector director_;
};

class ZUUC_EXPORT Char32EncodingConverterSink : public Char32ProxySink {
public:
    static constexpr unsigned int kArenaSize = 8416;

    Char32EncodingConverterSink(Char32Encoding const & input_encoding,
                                CharEncoding const & output_encoding, CharSink & target);
    Char32EncodingConverterSink(Char32Encoding const & input_encoding,
                                Char16Encoding const & output_encoding, Char16Sink & target);
    Char32EncodingConverterSink(Char32Encoding const & input_encoding,
                                Char32Encoding const & output_encoding, Char32Sink & target);
    Char32EncodingConverterSink(Char32EncodingConverterSink const &) = delete;
    Char32EncodingConverterSink & operator=(Char32EncodingConverterSink const &) = delete;
    ~Char32EncodingConverterSink() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

private:
    void Build(Char32Encoding const & input_encoding, Char32Sink * encoding);

    zuuc_detail::ConverterArena<kArenaSize> arena_;
    UnicodeLibDirector director_;
};

#endif

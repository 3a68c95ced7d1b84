// Conversion between byte encodings and UTF-16 / UTF-32 strings in the
// manner of mbstowcs and wcstombs, counting what could not be converted.
#include <cstring>
#include <new>
#include <type_traits>

#include "convert/error_count_behavior.h"
#include "wide_string_impl.h"
#include "zuuc/char_encoding.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/exceptions.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"
#include "zuuc/wide_chars.h"
#include "zuuc/wide_string.h"

namespace zuuc_internal::wchar {
namespace {

bool IsHigh(unsigned short u) {
    return zu_is_high_surrogate(u) != 0;
}
bool IsLow(unsigned short u) {
    return zu_is_low_surrogate(u) != 0;
}

// A sink that only counts what it is given (sizes measured without a
// destination).
template <class Base, typename U>
class CountingSink : public Base {
public:
    void Flush() override {}
    std::size_t size() const { return count_; }

protected:
    void PutBuffer(U const * begin, U const * end) override {
        count_ += static_cast<std::size_t>(end - begin);
    }

private:
    std::size_t count_ = 0;
};

// The pieces for text of one unit type: its buffer source, the converter
// source that yields it, the sinks that take it, and (for 16-bit and 32-bit
// units) its Unicode encoding.
template <typename U>
struct UnitKind;

template <>
struct UnitKind<char> {
    typedef BufferCharSource Source;
    typedef CharEncodingConverter Converter;
    typedef BufferCharSink BufferSink;
    typedef CountingSink<CharSink, char> Counter;
};
template <>
struct UnitKind<unsigned short> {
    typedef BufferChar16Source Source;
    typedef Char16EncodingConverter Converter;
    typedef BufferChar16Sink BufferSink;
    typedef CountingSink<Char16Sink, unsigned short> Counter;
    static Char16Encoding const & Unicode() { return Char16Encoding::UTF16(); }
};
template <>
struct UnitKind<unsigned int> {
    typedef BufferChar32Source Source;
    typedef Char32EncodingConverter Converter;
    typedef BufferChar32Sink BufferSink;
    typedef CountingSink<Char32Sink, unsigned int> Counter;
    static Char32Encoding const & Unicode() { return Char32Encoding::UTF32(); }
};

// A converter reading `source`; bytes in `encoding` are always one side and
// Unicode the other. (Built in place: the result is never copied.)
template <typename In, typename Out>
typename UnitKind<Out>::Converter MakeConverter(typename UnitKind<In>::Source & source,
                                                CharEncoding const & encoding) {
    typedef typename UnitKind<Out>::Converter Converter;
    if constexpr (std::is_same<In, char>::value) {
        return Converter(source, encoding, UnitKind<Out>::Unicode());
    } else {
        return Converter(source, UnitKind<In>::Unicode(), encoding);
    }
}

// Converts all of [begin, end) with or to `encoding` into `sink` (which may
// cut it) and returns the number of problems met, each resolved by
// substitution. Throws what the converter throws when it cannot be built.
template <typename In, typename Out, class Sink>
int ConvertInto(In const * begin, In const * end, CharEncoding const & encoding, Sink & sink) {
    error_count_behavior counting(false);
    typename UnitKind<In>::Source source(begin, end);
    typename UnitKind<Out>::Converter converter = MakeConverter<In, Out>(source, encoding);
    converter.SetBehavior(&counting);
    sink.Put(converter);
    return counting.ErrorCount();
}

// The number of units at the start of a cut conversion of src[0, length)
// into dst[0, room) that hold whole characters, with dst then holding them:
// UTF-16 never ends in the first half of a surrogate pair; bytes are the
// conversion of the longest beginning of src whose bytes fit (never
// splitting a surrogate pair of the input). Converting that beginning on its
// own means the bytes end on a character boundary and a modal encoding ends
// back in its initial state.
template <typename In>
std::size_t WholeCharacters(unsigned short * dst, std::size_t stored, In const *, std::size_t,
                            std::size_t, CharEncoding const &) {
    return stored > 0 && IsHigh(dst[stored - 1]) ? stored - 1 : stored;
}
template <typename In>
std::size_t WholeCharacters(unsigned int *, std::size_t stored, In const *, std::size_t,
                            std::size_t, CharEncoding const &) {
    return stored;
}
template <typename In>
std::size_t WholeCharacters(char * dst, std::size_t, In const * src, std::size_t length,
                            std::size_t room, CharEncoding const & encoding) {
    std::size_t low = 0;        // a beginning that fits
    std::size_t high = length;  // a beginning that does not
    while (high - low > 1) {
        std::size_t middle = low + (high - low) / 2;
        if (sizeof(In) == 2 && IsHigh(static_cast<unsigned short>(src[middle - 1])) &&
            IsLow(static_cast<unsigned short>(src[middle]))) {
            if (middle - 1 > low) {
                --middle;
            } else if (middle + 1 < high) {
                ++middle;
            } else {
                break;  // only the halves of one pair lie between
            }
        }
        CountingSink<CharSink, char> measure;
        ConvertInto<In, char>(src, src + middle, encoding, measure);
        (measure.size() <= room ? low : high) = middle;
    }
    BufferCharSink fitted(dst, static_cast<long>(room));
    ConvertInto<In, char>(src, src + low, encoding, fitted);
    return static_cast<std::size_t>(fitted.size());
}

template <typename In, typename Out>
long ConvertCounted(Out * dst, std::size_t * count_out, In const * src, std::size_t n,
                    zu_encoding_id id) {
    if (count_out != nullptr)
        *count_out = 0;
    if (id == nullptr)
        return -1;
    CharEncoding const & encoding = *reinterpret_cast<CharEncoding const *>(id);
    static In const kEmpty[1] = {0};
    if (src == nullptr)
        src = kEmpty;
    std::size_t const length = zuuc_internal::wchar::length(src);
    std::size_t count = 0;
    int problems = 0;
    try {
        if (dst == nullptr) {
            typename UnitKind<Out>::Counter measure;
            problems = ConvertInto<In, Out>(src, src + length, encoding, measure);
            count = measure.size();
        } else {
            std::size_t const room = n < 0x7FFFFFFFu ? n : 0x7FFFFFFFu;
            typename UnitKind<Out>::BufferSink sink(dst, static_cast<long>(room));
            problems = ConvertInto<In, Out>(src, src + length, encoding, sink);
            count = static_cast<std::size_t>(sink.size());
            if (sink.IsTruncated())
                count = WholeCharacters(dst, count, src, length, room, encoding);
            if (count < n)
                dst[count] = 0;
        }
    } catch (zu_exception const &) {
        return -1;
    } catch (std::bad_alloc const &) {
        return -1;
    }
    if (count_out != nullptr)
        *count_out = count;
    return problems != 0 ? -1 : static_cast<long>(count);
}

}  // namespace
}  // namespace zuuc_internal::wchar

using zuuc_internal::wchar::ConvertCounted;

extern "C" {

zu_encoding_id zu_get_encoding_id(char const * name) {
    if (name == nullptr)
        return nullptr;
    return reinterpret_cast<zu_encoding_id>(CharEncoding::Lookup(name));
}

long zu_mbstowcs_s_16(unsigned short * dst, size_t * count_out, char const * src, size_t n,
                      zu_encoding_id enc) {
    return ConvertCounted(dst, count_out, src, n, enc);
}
long zu_mbstowcs_s_32(unsigned int * dst, size_t * count_out, char const * src, size_t n,
                      zu_encoding_id enc) {
    return ConvertCounted(dst, count_out, src, n, enc);
}
long zu_wcstombs_s_16(char * dst, size_t * count_out, unsigned short const * src, size_t n,
                      zu_encoding_id enc) {
    return ConvertCounted(dst, count_out, src, n, enc);
}
long zu_wcstombs_s_32(char * dst, size_t * count_out, unsigned int const * src, size_t n,
                      zu_encoding_id enc) {
    return ConvertCounted(dst, count_out, src, n, enc);
}

long zu_mbstowcs_16(unsigned short * dst, char const * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, nullptr, src, n, enc);
}
long zu_mbstowcs_32(unsigned int * dst, char const * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, nullptr, src, n, enc);
}
long zu_wcstombs_16(char * dst, unsigned short const * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, nullptr, src, n, enc);
}
long zu_wcstombs_32(char * dst, unsigned int const * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, nullptr, src, n, enc);
}

}  // extern "C"

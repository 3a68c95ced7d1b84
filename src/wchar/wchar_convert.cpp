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

namespace zu_wchar_impl {
namespace {

// The pieces for text of one unit type: its buffer source, the converter
// source that yields it, the string sink that collects it, and (for 16-bit
// and 32-bit units) its Unicode encoding.
template <typename U>
struct UnitKind;

template <>
struct UnitKind<char> {
    typedef BufferCharSource Source;
    typedef CharEncodingConverter Converter;
    typedef StringCharSink Sink;
};
template <>
struct UnitKind<unsigned short> {
    typedef BufferChar16Source Source;
    typedef Char16EncodingConverter Converter;
    typedef StringChar16Sink Sink;
    static Char16Encoding const & Unicode() { return Char16Encoding::UTF16(); }
};
template <>
struct UnitKind<unsigned int> {
    typedef BufferChar32Source Source;
    typedef Char32EncodingConverter Converter;
    typedef StringChar32Sink Sink;
    static Char32Encoding const & Unicode() { return Char32Encoding::UTF32(); }
};

template <typename U>
using TextOf = typename std::decay<decltype(typename UnitKind<U>::Sink().str())>::type;

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

// The conversion of [begin, end) with or to `encoding`; *problems receives
// the number of problems met (each resolved by substitution). Throws what
// the converter throws when it cannot be built.
template <typename In, typename Out>
TextOf<Out> Convert(In const * begin, In const * end, CharEncoding const & encoding, int * problems) {
    error_count_behavior counting(false);
    typename UnitKind<In>::Source source(begin, end);
    typename UnitKind<Out>::Sink sink;
    {
        typename UnitKind<Out>::Converter converter = MakeConverter<In, Out>(source, encoding);
        converter.SetBehavior(&counting);
        sink.Put(converter);
    }
    if (problems != nullptr) *problems = counting.ErrorCount();
    return sink.str();
}

bool IsHigh(unsigned short u) { return zu_is_high_surrogate(u) != 0; }
bool IsLow(unsigned short u) { return zu_is_low_surrogate(u) != 0; }

// How many of the first `room` units of a conversion result can be kept
// whole: bytes are cut elsewhere (see FitBytes); a UTF-16 result never ends
// in half of a surrogate pair.
std::size_t WholeUnits(zu_wstring const & text, std::size_t room) {
    if (room >= text.size()) return text.size();
    if (room > 0 && IsHigh(text.data()[room - 1]) && IsLow(text.data()[room])) return room - 1;
    return room;
}
std::size_t WholeUnits(zu_utf32_string const & text, std::size_t room) {
    return room < text.size() ? room : text.size();
}

// The conversion of the longest beginning of src[0, length) whose bytes fit
// in `room` (never splitting a surrogate pair of the input). Converting each
// candidate beginning on its own means the bytes end on a character boundary
// and a modal encoding ends back in its initial state.
template <typename In>
zu_string FitBytes(In const * src, std::size_t length, std::size_t room, CharEncoding const & encoding) {
    std::size_t low = 0;  // a beginning that fits
    std::size_t high = length;  // a beginning that does not
    zu_string best;
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
        zu_string candidate = Convert<In, char>(src, src + middle, encoding, nullptr);
        if (candidate.size() <= room) {
            low = middle;
            best = candidate;
        } else {
            high = middle;
        }
    }
    return best;
}

template <typename In, typename Out>
long ConvertCounted(Out * dst, std::size_t * count_out, In const * src, std::size_t n, zu_encoding_id id) {
    if (count_out != nullptr) *count_out = 0;
    if (id == nullptr) return -1;
    CharEncoding const & encoding = *reinterpret_cast<CharEncoding const *>(id);
    std::size_t const length = src != nullptr ? zu_wchar_impl::length(src) : 0;
    static In const kEmpty[1] = {0};
    if (src == nullptr) src = kEmpty;
    std::size_t count = 0;
    int problems = 0;
    try {
        TextOf<Out> const text = Convert<In, Out>(src, src + length, encoding, &problems);
        if (dst == nullptr) {
            count = text.size();
        } else {
            if constexpr (std::is_same<Out, char>::value) {
                if (text.size() <= n) {
                    count = text.size();
                    mem_copy(dst, text.data(), count);
                } else {
                    zu_string const fitted = FitBytes(src, length, n, encoding);
                    count = fitted.size();
                    mem_copy(dst, fitted.data(), count);
                }
            } else {
                count = WholeUnits(text, n);
                mem_copy(dst, text.data(), count);
            }
            if (count < n) dst[count] = 0;
        }
    } catch (zu_exception const &) {
        return -1;
    } catch (std::bad_alloc const &) {
        return -1;
    }
    if (count_out != nullptr) *count_out = count;
    return problems != 0 ? -1 : static_cast<long>(count);
}

}  // namespace
}  // namespace zu_wchar_impl

using zu_wchar_impl::ConvertCounted;

extern "C" {

zu_encoding_id zu_get_encoding_id(const char * name) {
    if (name == nullptr) return nullptr;
    return reinterpret_cast<zu_encoding_id>(CharEncoding::Lookup(name));
}

long zu_mbstowcs_s_16(unsigned short * dst, size_t * count_out, const char * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, count_out, src, n, enc);
}
long zu_mbstowcs_s_32(unsigned int * dst, size_t * count_out, const char * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, count_out, src, n, enc);
}
long zu_wcstombs_s_16(char * dst, size_t * count_out, const unsigned short * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, count_out, src, n, enc);
}
long zu_wcstombs_s_32(char * dst, size_t * count_out, const unsigned int * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, count_out, src, n, enc);
}

long zu_mbstowcs_16(unsigned short * dst, const char * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, nullptr, src, n, enc);
}
long zu_mbstowcs_32(unsigned int * dst, const char * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, nullptr, src, n, enc);
}
long zu_wcstombs_16(char * dst, const unsigned short * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, nullptr, src, n, enc);
}
long zu_wcstombs_32(char * dst, const unsigned int * src, size_t n, zu_encoding_id enc) {
    return ConvertCounted(dst, nullptr, src, n, enc);
}

}  // extern "C"

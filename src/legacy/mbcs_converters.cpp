// Converters of the table-driven multi-byte encodings.
#include <algorithm>
#include <cstddef>

#include "mbcs_core.h"
#include "mbcs_encode.h"
#include "zuuc/mbcs_encoding.h"

using zuuc_internal::legacy::DecodeMode;
using zuuc_internal::legacy::DecoderState;

namespace {

// The converters keep their state in two plain fields; these wrap them for
// the shared loops.
template <class T, class Out>
TranscodeResult RunDecode(MBCStoUnicodeTable<T> const & table, unsigned int & state,
                          unsigned int & last_value, char const *& in, char const * inEnd,
                          Out *& out, Out * outEnd, long limit, DecodeMode mode) {
    DecoderState s{state, last_value};
    TranscodeResult const result =
        zuuc_internal::legacy::Decode(table, s, in, inEnd, out, outEnd, limit, mode);
    state = s.state;
    last_value = s.last_value;
    return result;
}

template <class T, class Out>
TranscodeResult RunFinishLookAhead(MBCStoUnicodeTable<T> const & table, unsigned int & state,
                                   unsigned int & last_value, Out *& out, Out * outEnd,
                                   long limit) {
    DecoderState s{state, last_value};
    TranscodeResult const result =
        zuuc_internal::legacy::FinishLookAhead(table, s, out, outEnd, limit);
    state = s.state;
    last_value = s.last_value;
    return result;
}

// Lookups answering "mapped?" for the shared encoder loops.
template <class V>
auto NarrowLookup(PlaneTable<unsigned short, V> const * table) {
    return [table](unsigned int key, unsigned long & value) {
        if (key > 0xFFFF) {
            return false;
        }
        V const v = table->Lookup(static_cast<unsigned short>(key));
        value = v;
        return v != table->undefined;
    };
}

template <class V>
auto WideLookup(PlaneTable<unsigned int, V> const * table) {
    return [table](unsigned int key, unsigned long & value) {
        V const v = table->Lookup(key);
        value = v;
        return v != table->undefined;
    };
}

}  // namespace

// --- MBCStoUTF16 ----------------------------------------------------------------

MBCStoUTF16::MBCStoUTF16(MBCStoUnicodeTable<unsigned short> const * table, bool text_mode_safe)
    : table_(table), state_(0), last_value_(0), text_mode_safe_(text_mode_safe) {}

MBCStoUTF16::~MBCStoUTF16() = default;

TranscodeResult MBCStoUTF16::Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                                       unsigned short * outEnd, long limit) {
    return RunDecode(*table_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kPlain);
}

TranscodeResult MBCStoUTF16::TranscodeInBlock(char const *& in, char const * inEnd,
                                              unsigned short *& out, unsigned short * outEnd,
                                              long limit) {
    return RunDecode(*table_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kInBlock);
}

TranscodeResult MBCStoUTF16::Finish(unsigned short *&, unsigned short *, long) {
    TranscodeResult const result = last_value_ == zuuc_internal::legacy::kNoCharacterYet
                                       ? kTranscodeIllegalInput
                                       : kTranscodeComplete;
    Reset();
    return result;
}

void MBCStoUTF16::Reset() {
    state_ = 0;
    last_value_ = 0;
}

// --- MBCStoUTF32 ----------------------------------------------------------------

MBCStoUTF32::MBCStoUTF32(MBCStoUnicodeTable<unsigned short> const * table16,
                         MBCStoUnicodeTable<unsigned int> const * table32, bool text_mode_safe)
    : table16_(table16),
      table32_(table16 != nullptr ? nullptr : table32),
      state_(0),
      last_value_(0),
      text_mode_safe_(text_mode_safe) {}

MBCStoUTF32::~MBCStoUTF32() = default;

TranscodeResult MBCStoUTF32::Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                                       unsigned int * outEnd, long limit) {
    if (table16_ != nullptr) {
        return RunDecode(*table16_, state_, last_value_, in, inEnd, out, outEnd, limit,
                         DecodeMode::kPlain);
    }
    return RunDecode(*table32_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kPlain);
}

TranscodeResult MBCStoUTF32::TranscodeInBlock(char const *& in, char const * inEnd,
                                              unsigned int *& out, unsigned int * outEnd,
                                              long limit) {
    if (table16_ != nullptr) {
        return RunDecode(*table16_, state_, last_value_, in, inEnd, out, outEnd, limit,
                         DecodeMode::kInBlock);
    }
    return RunDecode(*table32_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kInBlock);
}

TranscodeResult MBCStoUTF32::Finish(unsigned int *&, unsigned int *, long) {
    TranscodeResult const result = last_value_ == zuuc_internal::legacy::kNoCharacterYet
                                       ? kTranscodeIllegalInput
                                       : kTranscodeComplete;
    Reset();
    return result;
}

void MBCStoUTF32::Reset() {
    state_ = 0;
    last_value_ = 0;
}

// --- look-ahead decoders ----------------------------------------------------------

MBCSLookAheadtoUTF16::~MBCSLookAheadtoUTF16() = default;

TranscodeResult MBCSLookAheadtoUTF16::Transcode(char const *& in, char const * inEnd,
                                                unsigned short *& out, unsigned short * outEnd,
                                                long limit) {
    return RunDecode(*table_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kLookAhead);
}

TranscodeResult MBCSLookAheadtoUTF16::Finish(unsigned short *& out, unsigned short * outEnd,
                                             long limit) {
    return RunFinishLookAhead(*table_, state_, last_value_, out, outEnd, limit);
}

MBCSLookAheadtoUTF32::~MBCSLookAheadtoUTF32() = default;

TranscodeResult MBCSLookAheadtoUTF32::Transcode(char const *& in, char const * inEnd,
                                                unsigned int *& out, unsigned int * outEnd,
                                                long limit) {
    if (table16_ != nullptr) {
        return RunDecode(*table16_, state_, last_value_, in, inEnd, out, outEnd, limit,
                         DecodeMode::kLookAhead);
    }
    return RunDecode(*table32_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kLookAhead);
}

TranscodeResult MBCSLookAheadtoUTF32::Finish(unsigned int *& out, unsigned int * outEnd,
                                             long limit) {
    if (table16_ != nullptr) {
        return RunFinishLookAhead(*table16_, state_, last_value_, out, outEnd, limit);
    }
    return RunFinishLookAhead(*table32_, state_, last_value_, out, outEnd, limit);
}

// --- encoders from UTF-16 -------------------------------------------------------

namespace {

// Lends a converter's held units to the shared loops for one call.
class Held {
public:
    Held(unsigned short * units, unsigned int & count) : units_(units), count_(count) {
        held_.units[0] = units[0];
        held_.units[1] = units[1];
        held_.count = count;
    }
    Held(Held const &) = delete;
    Held & operator=(Held const &) = delete;
    ~Held() {
        units_[0] = held_.units[0];
        units_[1] = held_.units[1];
        count_ = held_.count;
    }
    zuuc_internal::legacy::HeldUnits & get() { return held_; }

private:
    zuuc_internal::legacy::HeldUnits held_;
    unsigned short * units_;
    unsigned int & count_;
};

// Encodes from UTF-16: stretches of mapped units first (room and limit
// settled once per stretch), then the careful loop from the unit that
// stopped them, which settles a problem, a high surrogate ending the input,
// or the last bytes of room or limit exactly as it would over the whole
// call. Units held from an earlier call come first: then the careful loop
// takes the whole call.
template <class V>
TranscodeResult EncodeWithStretches(PlaneTable<unsigned short, V> const * table,
                                    unsigned short * held_units, unsigned int & held_count,
                                    unsigned short const *& in, unsigned short const * inEnd,
                                    char *& out, char * outEnd, long limit, bool in_block) {
    if (held_count == 0) {
        zuuc_internal::legacy::EncodeStretches(zuuc_internal::legacy::NarrowFind<V>{table->pages},
                                               table->undefined, in, inEnd, out, outEnd, limit);
    }
    Held held(held_units, held_count);
    return zuuc_internal::legacy::EncodeUTF16(NarrowLookup(table), held.get(), in, inEnd, out,
                                              outEnd, limit, in_block);
}

// The same from UTF-32 (no units are held between calls).
template <class Find, class V, class Lookup>
TranscodeResult EncodeUTF32WithStretches(Find find, V undefined, Lookup lookup,
                                         unsigned int const *& in, unsigned int const * inEnd,
                                         char *& out, char * outEnd, long limit, bool in_block) {
    zuuc_internal::legacy::EncodeStretches(find, undefined, in, inEnd, out, outEnd, limit);
    return zuuc_internal::legacy::EncodeUTF32(lookup, in, inEnd, out, outEnd, limit, in_block);
}

template <class V>
TranscodeResult EncodeUTF32Narrow(PlaneTable<unsigned short, V> const * table,
                                  unsigned int const *& in, unsigned int const * inEnd, char *& out,
                                  char * outEnd, long limit, bool in_block) {
    return EncodeUTF32WithStretches(
        zuuc_internal::legacy::NarrowFind32<V>{table->pages, table->undefined}, table->undefined,
        NarrowLookup(table), in, inEnd, out, outEnd, limit, in_block);
}

template <class V>
TranscodeResult EncodeUTF32Wide(PlaneTable<unsigned int, V> const * table, unsigned int const *& in,
                                unsigned int const * inEnd, char *& out, char * outEnd, long limit,
                                bool in_block) {
    return EncodeUTF32WithStretches(zuuc_internal::legacy::WideFind<V>{table->root},
                                    table->undefined, WideLookup(table), in, inEnd, out, outEnd,
                                    limit, in_block);
}

}  // namespace

MBCSFromUTF16_16::MBCSFromUTF16_16(PlaneTable<unsigned short, unsigned short> const * table,
                                   bool text_mode_safe)
    : table_(table), held_{0, 0}, held_count_(0), text_mode_safe_(text_mode_safe) {}

MBCSFromUTF16_16::~MBCSFromUTF16_16() = default;

TranscodeResult MBCSFromUTF16_16::Transcode(unsigned short const *& in,
                                            unsigned short const * inEnd, char *& out,
                                            char * outEnd, long limit) {
    return EncodeWithStretches(table_, held_, held_count_, in, inEnd, out, outEnd, limit, false);
}

TranscodeResult MBCSFromUTF16_16::TranscodeInBlock(unsigned short const *& in,
                                                   unsigned short const * inEnd, char *& out,
                                                   char * outEnd, long limit) {
    return EncodeWithStretches(table_, held_, held_count_, in, inEnd, out, outEnd, limit, true);
}

TranscodeResult MBCSFromUTF16_16::Finish(char *& out, char * outEnd, long limit) {
    TranscodeResult result;
    {
        Held held(held_, held_count_);
        result = zuuc_internal::legacy::FinishUTF16(NarrowLookup(table_), held.get(), out, outEnd,
                                                    limit);
    }
    if (result == kTranscodeComplete) {
        Reset();
    }
    return result;
}

void MBCSFromUTF16_16::Reset() {
    held_count_ = 0;
    BlockConverter_16_to_8::Reset();
}

MBCSFromUTF16_32::MBCSFromUTF16_32(PlaneTable<unsigned short, unsigned int> const * table,
                                   bool text_mode_safe)
    : table_(table), held_{0, 0}, held_count_(0), text_mode_safe_(text_mode_safe) {}

MBCSFromUTF16_32::~MBCSFromUTF16_32() = default;

TranscodeResult MBCSFromUTF16_32::Transcode(unsigned short const *& in,
                                            unsigned short const * inEnd, char *& out,
                                            char * outEnd, long limit) {
    return EncodeWithStretches(table_, held_, held_count_, in, inEnd, out, outEnd, limit, false);
}

TranscodeResult MBCSFromUTF16_32::TranscodeInBlock(unsigned short const *& in,
                                                   unsigned short const * inEnd, char *& out,
                                                   char * outEnd, long limit) {
    return EncodeWithStretches(table_, held_, held_count_, in, inEnd, out, outEnd, limit, true);
}

TranscodeResult MBCSFromUTF16_32::Finish(char *& out, char * outEnd, long limit) {
    TranscodeResult result;
    {
        Held held(held_, held_count_);
        result = zuuc_internal::legacy::FinishUTF16(NarrowLookup(table_), held.get(), out, outEnd,
                                                    limit);
    }
    if (result == kTranscodeComplete) {
        Reset();
    }
    return result;
}

void MBCSFromUTF16_32::Reset() {
    held_count_ = 0;
    BlockConverter_16_to_8::Reset();
}

// --- encoders from UTF-32 -------------------------------------------------------

MBCSFromUTF32_16::MBCSFromUTF32_16(PlaneTable<unsigned short, unsigned short> const * table,
                                   bool text_mode_safe)
    : narrow_(table), wide_(nullptr), wide_keys_(false), text_mode_safe_(text_mode_safe) {}

MBCSFromUTF32_16::MBCSFromUTF32_16(PlaneTable<unsigned int, unsigned short> const * table,
                                   bool text_mode_safe)
    : narrow_(nullptr), wide_(table), wide_keys_(true), text_mode_safe_(text_mode_safe) {}

MBCSFromUTF32_16::~MBCSFromUTF32_16() = default;

TranscodeResult MBCSFromUTF32_16::Transcode(unsigned int const *& in, unsigned int const * inEnd,
                                            char *& out, char * outEnd, long limit) {
    if (wide_keys_) {
        return EncodeUTF32Wide(wide_, in, inEnd, out, outEnd, limit, false);
    }
    return EncodeUTF32Narrow(narrow_, in, inEnd, out, outEnd, limit, false);
}

TranscodeResult MBCSFromUTF32_16::TranscodeInBlock(unsigned int const *& in,
                                                   unsigned int const * inEnd, char *& out,
                                                   char * outEnd, long limit) {
    if (wide_keys_) {
        return EncodeUTF32Wide(wide_, in, inEnd, out, outEnd, limit, true);
    }
    return EncodeUTF32Narrow(narrow_, in, inEnd, out, outEnd, limit, true);
}

TranscodeResult MBCSFromUTF32_16::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}

MBCSFromUTF32_32::MBCSFromUTF32_32(PlaneTable<unsigned short, unsigned int> const * table,
                                   bool text_mode_safe)
    : narrow_(table), wide_(nullptr), wide_keys_(false), text_mode_safe_(text_mode_safe) {}

MBCSFromUTF32_32::MBCSFromUTF32_32(PlaneTable<unsigned int, unsigned int> const * table,
                                   bool text_mode_safe)
    : narrow_(nullptr), wide_(table), wide_keys_(true), text_mode_safe_(text_mode_safe) {}

MBCSFromUTF32_32::~MBCSFromUTF32_32() = default;

TranscodeResult MBCSFromUTF32_32::Transcode(unsigned int const *& in, unsigned int const * inEnd,
                                            char *& out, char * outEnd, long limit) {
    if (wide_keys_) {
        return EncodeUTF32Wide(wide_, in, inEnd, out, outEnd, limit, false);
    }
    return EncodeUTF32Narrow(narrow_, in, inEnd, out, outEnd, limit, false);
}

TranscodeResult MBCSFromUTF32_32::TranscodeInBlock(unsigned int const *& in,
                                                   unsigned int const * inEnd, char *& out,
                                                   char * outEnd, long limit) {
    if (wide_keys_) {
        return EncodeUTF32Wide(wide_, in, inEnd, out, outEnd, limit, true);
    }
    return EncodeUTF32Narrow(narrow_, in, inEnd, out, outEnd, limit, true);
}

TranscodeResult MBCSFromUTF32_32::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}

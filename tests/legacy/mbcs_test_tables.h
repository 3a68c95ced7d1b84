// Small hand-made code tables for the multi-byte, modal and range tests.
#ifndef ZUUC_TESTS_LEGACY_MBCS_TEST_TABLES_H
#define ZUUC_TESTS_LEGACY_MBCS_TEST_TABLES_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "zuuc/code_tables.h"
#include "zuuc/detector.h"
#include "zuuc/sbcs_encoding.h"
#include "zuuc/transcoder.h"

namespace zuuc_test::mbcs {

// A decoder state machine with 256 columns per state.
template <class T>
class StateTable {
public:
    // Appends a state whose entries all hold (value, next); returns its number.
    unsigned int AddState(unsigned int value, unsigned int next) {
        for (unsigned int b = 0; b < 256; ++b) {
            entries_.push_back(Make(value, next));
        }
        return static_cast<unsigned int>(entries_.size() / 256 - 1);
    }
    // Appends states 0, 1, ... in which every byte is invalid, each going on
    // to the next state given.
    void AddInvalidStates(std::initializer_list<unsigned int> nexts) {
        for (unsigned int next : nexts) {
            AddState(0xFFFD, next);
        }
    }
    void Set(unsigned int state, unsigned int byte, unsigned int value, unsigned int next) {
        entries_[state * 256 + byte] = Make(value, next);
    }
    void SetRange(unsigned int state, unsigned int lo, unsigned int hi, unsigned int value,
                  unsigned int next) {
        for (unsigned int b = lo; b <= hi; ++b) {
            Set(state, b, value, next);
        }
    }
    // Bytes lo..hi decode to themselves in `state`.
    void Identity(unsigned int state, unsigned int lo, unsigned int hi, unsigned int next) {
        for (unsigned int b = lo; b <= hi; ++b) {
            Set(state, b, b, next);
        }
    }
    MBCStoUnicodeTable<T> const * Get() {
        table_.format = 1;
        table_.row_width = 256;
        table_.state_count = static_cast<unsigned int>(entries_.size() / 256);
        table_.mode_count = 1;
        table_.flags = 0;
        table_.entries = entries_.data();
        return &table_;
    }

private:
    static MBCStoUnicodeEntry<T> Make(unsigned int value, unsigned int next) {
        MBCStoUnicodeEntry<T> e{};
        e.value = static_cast<T>(value);
        e.next = static_cast<unsigned short>(next);
        return e;
    }
    std::vector<MBCStoUnicodeEntry<T>> entries_;
    MBCStoUnicodeTable<T> table_{};
};

// A 16-bit-keyed plane table.
template <class V>
class NarrowPlane {
public:
    explicit NarrowPlane(V undefined)
        : pages_(256, std::vector<V>(256, undefined)), directory_(256) {
        for (unsigned int i = 0; i < 256; ++i) {
            directory_[i] = pages_[i].data();
        }
        table_.undefined = undefined;
        table_.pages = directory_.data();
    }
    void Set(unsigned int key, V value) { pages_[key >> 8][key & 0xFF] = value; }
    PlaneTable<unsigned short, V> const * Get() const { return &table_; }

private:
    std::vector<std::vector<V>> pages_;
    std::vector<V const *> directory_;
    PlaneTable<unsigned short, V> table_{};
};

// A 32-bit-keyed plane table (four levels, absent branches shared).
template <class V>
class WidePlane {
public:
    explicit WidePlane(V undefined) : undefined_(undefined) {}
    void Set(unsigned int key, V value) { values_[key] = value; }
    PlaneTable<unsigned int, V> const * Get() {
        empty_page_.assign(256, undefined_);
        empty_l3_.assign(256, empty_page_.data());
        empty_l2_.assign(256, empty_l3_.data());
        root_.assign(256, empty_l2_.data());
        for (auto const & [key, value] : values_) {
            auto & page = pages_[key >> 8];
            auto & l3 = l3_[key >> 16];
            auto & l2 = l2_[key >> 24];
            if (page.empty())
                page = empty_page_;
            if (l3.empty())
                l3 = empty_l3_;
            if (l2.empty())
                l2 = empty_l2_;
            page[key & 0xFF] = value;
            l3[(key >> 8) & 0xFF] = page.data();
            l2[(key >> 16) & 0xFF] = l3.data();
            root_[key >> 24] = l2.data();
        }
        table_.undefined = undefined_;
        table_.root = root_.data();
        return &table_;
    }

private:
    V undefined_;
    std::map<unsigned int, V> values_;
    std::vector<V> empty_page_;
    std::vector<V const *> empty_l3_;
    std::vector<V const * const *> empty_l2_;
    std::vector<V const * const * const *> root_;
    std::map<unsigned int, std::vector<V>> pages_;               // by key >> 8
    std::map<unsigned int, std::vector<V const *>> l3_;          // by key >> 16
    std::map<unsigned int, std::vector<V const * const *>> l2_;  // by key >> 24
    PlaneTable<unsigned int, V> table_{};
};

// Runs Transcode (or TranscodeInBlock) once over the whole input with an
// output of `room` units; the units behind the final output position must
// keep the sentinel they were filled with.
template <class From, class To>
struct Run {
    TranscodeResult result;
    std::vector<To> output;
    std::size_t consumed;
    bool operator==(Run const & o) const {
        return result == o.result && consumed == o.consumed && output == o.output;
    }
};
template <class From, class To>
std::ostream & operator<<(std::ostream & os, Run<From, To> const & r) {
    os << "result " << r.result << ", consumed " << r.consumed << ", output";
    for (To u : r.output) {
        os << ' ' << std::hex
           << static_cast<unsigned long>(static_cast<std::make_unsigned_t<To>>(u)) << std::dec;
    }
    return os;
}
template <class From, class To>
Run<From, To> TranscodeOnce(Transcoder<From, To> & t, std::vector<From> const & input,
                            std::size_t room = 64, long limit = -1, bool in_block = false) {
    constexpr To kSentinel = static_cast<To>(0xCC);
    std::vector<To> buffer(room + 8, kSentinel);
    From const * in = input.data();
    To * out = buffer.data();
    TranscodeResult const r =
        in_block
            ? t.TranscodeInBlock(in, input.data() + input.size(), out, buffer.data() + room, limit)
            : t.Transcode(in, input.data() + input.size(), out, buffer.data() + room, limit);
    for (To const * p = out; p != buffer.data() + buffer.size(); ++p) {
        EXPECT_EQ(kSentinel, *p) << "written behind the output at " << (p - buffer.data());
    }
    return {r, std::vector<To>(buffer.data(), out), static_cast<std::size_t>(in - input.data())};
}

// Converts everything (problems skipped) and finishes, with room to spare;
// the output and the results met, in order.
template <class From, class To>
std::vector<To> ConvertAll(Transcoder<From, To> & t, std::vector<From> const & input,
                           std::vector<int> * results = nullptr) {
    std::vector<To> all(input.size() * 8 + 16);
    std::vector<int> met;
    From const * in = input.data();
    To * out = all.data();
    while (met.size() < 1000 && (met.empty() || met.back() != kTranscodeInputExhausted)) {
        met.push_back(
            t.Transcode(in, input.data() + input.size(), out, all.data() + all.size(), -1));
    }
    met.push_back(t.Finish(out, all.data() + all.size(), -1));
    if (results != nullptr) {
        *results = met;
    }
    return std::vector<To>(all.data(), out);
}

inline std::vector<char> Bytes(std::string const & s) {
    return std::vector<char>(s.begin(), s.end());
}
inline std::string Str(std::vector<char> const & v) {
    return std::string(v.begin(), v.end());
}
inline std::vector<unsigned short> U16(std::initializer_list<unsigned int> l) {
    return std::vector<unsigned short>(l.begin(), l.end());
}
inline std::vector<unsigned int> U32(std::initializer_list<unsigned int> l) {
    return l;
}

// One call's result and units consumed, and what it wrote unless `output` is
// absent: EXPECT_TRUE(Ran(TranscodeOnce(...), kTranscode..., 3, expected)).
template <class From, class To>
::testing::AssertionResult Ran(Run<From, To> const & r, TranscodeResult result,
                               std::size_t consumed, std::vector<To> const * output = nullptr) {
    if (r.result == result && r.consumed == consumed && (!output || *output == r.output)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << r << " (want result " << result << ", consumed " << consumed << ")";
}
template <class From, class To>
::testing::AssertionResult Ran(Run<From, To> const & r, TranscodeResult result,
                               std::size_t consumed, std::vector<To> const & output) {
    return Ran(r, result, consumed, &output);
}
template <class From>
::testing::AssertionResult Ran(Run<From, char> const & r, TranscodeResult result,
                               std::size_t consumed, std::string const & output) {
    return Ran(r, result, consumed, Bytes(output));
}

// Adds `per_call` plus `per_point` for each code point to the tie breaker,
// and records what it was given.
class RecordingLanguage : public LanguageDetector {
public:
    explicit RecordingLanguage(int per_call = 0, int per_point = 0)
        : per_call_(per_call), per_point_(per_point) {}
    int Score(int & tie_breaker, unsigned int const * code_points, unsigned int count,
              unsigned char level) override {
        seen.assign(code_points, code_points + count);
        last_level = level;
        tie_breaker += per_call_ + per_point_ * static_cast<int>(count);
        return tie_breaker;
    }
    std::vector<unsigned int> seen;
    int last_level = -1;

private:
    int per_call_;
    int per_point_;
};

// A CP1252-like table: ASCII to itself, 0x80 = U+20AC, 0x81 undefined, the
// rest Latin-1. With `remap_a` the byte 'A' decodes to U+0391 instead. From
// Unicode, the byte `undefined` marks what cannot be encoded, so that
// character cannot be encoded even where a byte decodes to it.
struct SbcsCode {
    unsigned short to_unicode[256];
    unsigned char undefined_page[256];
    unsigned char page0[256];
    unsigned char page3[256];
    unsigned char page20[256];
    unsigned char const * pages[256];
    SBCSFromUnicodeTable plane;

    SbcsCode(bool remap_a, unsigned char undefined) {
        for (unsigned b = 0; b < 256; ++b) {
            to_unicode[b] = static_cast<unsigned short>(b);
            undefined_page[b] = page0[b] = page3[b] = page20[b] = undefined;
        }
        to_unicode[0x80] = 0x20AC;
        to_unicode[0x81] = 0xFFFD;
        if (remap_a) {
            to_unicode[0x41] = 0x391;
        }
        unsigned char * const writable[4] = {page0, nullptr, page3, page20};
        for (unsigned b = 0; b < 256; ++b) {
            unsigned int const c = to_unicode[b];
            if (c != 0xFFFD && b != undefined) {
                unsigned int const which = c < 0x100 ? 0 : c < 0x400 ? 2 : 3;
                writable[which][c & 0xFF] = static_cast<unsigned char>(b);
            }
        }
        for (auto & page : pages)
            page = undefined_page;
        pages[0] = page0;
        pages[3] = page3;
        pages[0x20] = page20;
        plane.undefined = undefined;
        plane.pages = pages;
    }
};

// The toy code page: the marker is 0x41, so 'A' cannot be encoded.
inline SbcsCode const & ToySbcs() {
    static SbcsCode const code(false, 0x41);
    return code;
}

}  // namespace zuuc_test::mbcs

#endif

// Helpers for the transform tests: sources that hand out a text in windows
// of a chosen size, and runners that read a transform to the end.
#ifndef ZUUC_TESTS_TRANSFORMS_TRANSFORM_TEST_UTIL_H
#define ZUUC_TESTS_TRANSFORMS_TRANSFORM_TEST_UTIL_H

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "zuuc/sources.h"
#include "zuuc/transforms.h"

namespace zuuc_test::transforms {

// Hands out `text` in windows of at most `window` units, each copied into
// a scratch buffer that the next window reuses.
template <class Base, class Unit, class String>
class WindowSource : public Base {
public:
    WindowSource(String const & text, std::size_t window)
        : text_(text.begin(), text.end()), window_(window == 0 ? 1 : window) {}

protected:
    bool FillBuffer() override {
        if (next_ >= text_.size())
            return false;
        std::size_t const n = std::min(window_, text_.size() - next_);
        scratch_.assign(text_.begin() + static_cast<long>(next_),
                        text_.begin() + static_cast<long>(next_ + n));
        next_ += n;
        this->SetWindow(scratch_.data(), scratch_.data() + n);
        return true;
    }

private:
    std::vector<Unit> text_;
    std::size_t window_;
    std::size_t next_ = 0;
    std::vector<Unit> scratch_;
};

using WindowSource32 = WindowSource<Char32Source, unsigned int, std::u32string>;
using WindowSource16 = WindowSource<Char16Source, unsigned short, std::u16string>;

inline std::u32string ReadAll(Char32Source & source) {
    std::u32string out;
    unsigned int const * begin = nullptr;
    unsigned int const * end = nullptr;
    while (source.GetBuffer(begin, end)) {
        EXPECT_LE(end - begin, static_cast<long>(UnicodeNoTestTransform::kBufferSize));
        for (unsigned int const * p = begin; p != end; ++p)
            out.push_back(static_cast<char32_t>(*p));
        source.DoneWith(end);
    }
    return out;
}

// Runs transform T over `input` handed out in windows of `window` units.
template <class T, class... Args>
std::u32string Apply(std::u32string const & input, std::size_t window, Args... args) {
    WindowSource32 source(input, window);
    T transform(source, args...);
    return ReadAll(transform);
}

// Runs T over `input` with windows of 1, 2, 3, 7, 1000 units and whole;
// every run must give the same text, which is returned.
template <class T, class... Args>
std::u32string ApplyAnyWindows(std::u32string const & input, Args... args) {
    std::u32string const whole = Apply<T>(input, input.size() + 1, args...);
    for (std::size_t window : {1, 2, 3, 7, 1000})
        EXPECT_EQ(Apply<T>(input, window, args...), whole) << "window " << window;
    return whole;
}

// `text` repeated until it is at least `units` long.
inline std::u32string Repeat(std::u32string const & text, std::size_t units) {
    std::u32string out;
    while (out.size() < units)
        out += text;
    return out;
}

}  // namespace zuuc_test::transforms

#endif

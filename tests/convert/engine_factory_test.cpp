// The converter and stream factories of the encodings give null, never a
// throw or a leak, when the caller's allocator runs out.
#include <gtest/gtest.h>

#include <cstdlib>

#include "zuuc/char_encoding.h"
#include "zuuc/detector.h"
#include "zuuc/sources.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/transcoder.h"

namespace {

// Serves the first `budget` requests from the heap, then fails.
class RationedAllocator : public UnicodeLibAllocator {
public:
    explicit RationedAllocator(int budget) : budget_(budget) {}
    void * Allocate(unsigned int size) override {
        if (budget_-- <= 0) return nullptr;
        return std::malloc(size);
    }
    void Free(void * block) override { std::free(block); }

private:
    int budget_;
};

}  // namespace

TEST(FactoryAllocation, EveryFactoryGivesNullWhenMemoryRunsOutAndThrowsNothing) {
    // One encoding of each family, with every budget of allocations up to
    // what the deepest of their chains needs.
    CharEncoding::UTF8BOM();  // variants are found by name once they exist
    for (char const * name : {"UTF-8", "UTF8BOM", "UTF-32:UTF-8", "windows-1252", "Shift_JIS",
                              "EUC-JP", "ISO-2022-JP", "GB18030", "HZ-GB-2312", "Big5"}) {
        CharEncoding const * encoding = CharEncoding::Lookup(name);
        ASSERT_NE(nullptr, encoding) << name;
        for (int budget = 0; budget < 6; ++budget) {
            SCOPED_TRACE(testing::Message() << name << ", budget " << budget);
            RationedAllocator allocator(budget);
            auto check = [&](auto * made) {
                delete made;  // null, or a whole object
            };
            EXPECT_NO_THROW(check(encoding->CreateConverterToUTF16(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateConverterFromUTF16(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateConverterToUTF32(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateConverterFromUTF32(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateEncodingDetector(allocator)));
            char const text[] = "abc";
            StringCharSource bytes(text, text + 3);
            EXPECT_NO_THROW(check(encoding->CreateCharSourceToUnicode(bytes, allocator)));
        }
    }
}

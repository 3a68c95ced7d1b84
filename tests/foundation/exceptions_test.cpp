#include "zuuc/exceptions.h"

#include "support/test_encodings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

char const * gShiftJisNames[] = {"Shift_JIS", "SJIS", nullptr};

// An unregistered encoding (identifier 0) with just a name, enough for the
// error messages.
class NamedEncoding : public zuuc_test::TestByteEncoding {
public:
    NamedEncoding() : TestByteEncoding(0, gShiftJisNames) {}
};

TEST(ExceptionsTest, FixedMessages) {
    EXPECT_STREQ(zu_exception().what(), "zu_exception");
    EXPECT_STREQ(zu_logic_error().what(), "zu_logic_error");
    EXPECT_STREQ(zu_out_of_range().what(), "zu_out_of_range");
    EXPECT_STREQ(zu_file_error().what(), "zu_file_error");
    EXPECT_STREQ(UnicodeLibraryException().what(), "unknown Unicode Library exception");
    EXPECT_STREQ(zu_collation_file_error().what(), "Collation sequence data file read failed");
    EXPECT_STREQ(zu_collation_file_corruption_error().what(),
                 "Collation sequence data file is corrupted");
    EXPECT_STREQ(zu_collation_key_overflow().what(),
                 "Attempt to copy too many bytes of collation key into a CollationKey");
}

TEST(ExceptionsTest, MessagesSurviveThrowingByValueAndCatchingByBase) {
    try {
        throw zu_out_of_range();
    } catch (zu_exception const & e) {
        EXPECT_STREQ(e.what(), "zu_out_of_range");
    }
    try {
        throw zu_collation_key_overflow();
    } catch (zu_logic_error const &) {
        ADD_FAILURE() << "not a logic error";
    } catch (zu_exception const & e) {
        EXPECT_STREQ(e.what(), "Attempt to copy too many bytes of collation key into a CollationKey");
    }
}

TEST(ExceptionsTest, LoadErrorsNameTheEncodingAndLibrary) {
    NamedEncoding sjis;
    static char const kLibrary[] = "zujpn421";

    EncodingNotLoaded base(sjis);
    EXPECT_STREQ(base.what(), "The encoding \"Shift_JIS\" could not be loaded");
    EXPECT_EQ(&base.GetEncoding(), &sjis);

    try {
        throw NoEncodingLibraryRegistered(sjis);
    } catch (EncodingNotLoaded const & e) {
        EXPECT_STREQ(e.what(), "No library registered for encoding \"Shift_JIS\"");
        EXPECT_EQ(&e.GetEncoding(), &sjis);
    }
    try {
        throw UnableToLoadEncodingLibrary(sjis, kLibrary);
    } catch (EncodingNotLoaded const & e) {
        EXPECT_STREQ(e.what(),
                     "Unable to load the library \"zujpn421\" for the encoding \"Shift_JIS\"");
        EXPECT_EQ(dynamic_cast<UnableToLoadEncodingLibrary const &>(e).GetLibrary(), kLibrary);
    }
    try {
        throw LibraryDoesNotImplementEncoding(sjis, kLibrary);
    } catch (UnicodeLibraryException const & e) {
        EXPECT_STREQ(e.what(),
                     "The library \"zujpn421\" was loaded, but did not implement encoding "
                     "\"Shift_JIS\"");
    }
}

TEST(ExceptionsTest, InvalidOutputEncodingMessage) {
    NamedEncoding sjis;
    InvalidOutputEncoding e(sjis);
    EXPECT_STREQ(e.what(), "Invalid output encoding: Shift_JIS");
    EXPECT_EQ(&e.GetEncoding(), &sjis);
}

TEST(ExceptionsTest, CopiesOwnTheirMessages) {
    NamedEncoding sjis;
    std::string const expected = "Unable to load the library \"x\" for the encoding \"Shift_JIS\"";
    UnableToLoadEncodingLibrary* original = new UnableToLoadEncodingLibrary(sjis, "x");
    UnableToLoadEncodingLibrary copy(*original);
    NoEncodingLibraryRegistered other(sjis);
    EncodingNotLoaded assigned(sjis);
    assigned = *original;
    delete original;
    EXPECT_EQ(copy.what(), expected);
    EXPECT_EQ(assigned.what(), expected);  // sliced, but the message is the stored one
    EXPECT_STREQ(copy.GetLibrary(), "x");
    EXPECT_STREQ(other.what(), "No library registered for encoding \"Shift_JIS\"");
}

}  // namespace

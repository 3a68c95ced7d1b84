#include "zuuc/exceptions.h"

#include "support/test_encodings.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

namespace {

struct Message {
    zu_exception const & exception;
    char const * what;
};

char const * gShiftJisNames[] = {"Shift_JIS", "SJIS", nullptr};

// An unregistered encoding (identifier 0) with just a name, enough for the
// error messages.
class NamedEncoding : public zuuc_test::TestByteEncoding {
public:
    NamedEncoding() : TestByteEncoding(0, gShiftJisNames) {}
};

static_assert(std::is_base_of<zu_exception, zu_out_of_range>::value &&
                  std::is_base_of<zu_exception, zu_collation_key_overflow>::value &&
                  !std::is_base_of<zu_logic_error, zu_collation_key_overflow>::value &&
                  std::is_base_of<EncodingNotLoaded, NoEncodingLibraryRegistered>::value &&
                  std::is_base_of<EncodingNotLoaded, UnableToLoadEncodingLibrary>::value &&
                  std::is_base_of<UnicodeLibraryException, LibraryDoesNotImplementEncoding>::value,
              "the exception hierarchy callers catch by");

TEST(ExceptionsTest, FixedMessages) {
    Message const cases[] = {
        {zu_exception(), "zu_exception"},
        {zu_logic_error(), "zu_logic_error"},
        {zu_out_of_range(), "zu_out_of_range"},
        {zu_file_error(), "zu_file_error"},
        {UnicodeLibraryException(), "unknown Unicode Library exception"},
        {zu_collation_file_error(), "Collation sequence data file read failed"},
        {zu_collation_file_corruption_error(), "Collation sequence data file is corrupted"},
        {zu_collation_key_overflow(),
         "Attempt to copy too many bytes of collation key into a CollationKey"},
    };
    for (Message const & c : cases) EXPECT_STREQ(c.exception.what(), c.what);
    try {
        throw zu_collation_key_overflow();
    } catch (zu_exception const & e) {
        EXPECT_STREQ(e.what(), cases[7].what);
    }
}

TEST(ExceptionsTest, EncodingErrorsNameTheEncodingAndLibrary) {
    NamedEncoding sjis;
    EncodingNotLoaded const base(sjis);
    NoEncodingLibraryRegistered const none(sjis);
    LibraryDoesNotImplementEncoding const missing(sjis, "zujpn421");
    InvalidOutputEncoding const output(sjis);
    Message const cases[] = {
        {base, "The encoding \"Shift_JIS\" could not be loaded"},
        {none, "No library registered for encoding \"Shift_JIS\""},
        {UnableToLoadEncodingLibrary(sjis, "zujpn421"),
         "Unable to load the library \"zujpn421\" for the encoding \"Shift_JIS\""},
        {missing, "The library \"zujpn421\" was loaded, but did not implement encoding \"Shift_JIS\""},
        {output, "Invalid output encoding: Shift_JIS"},
    };
    for (Message const & c : cases) EXPECT_STREQ(c.exception.what(), c.what);
    EXPECT_EQ(&base.GetEncoding(), &sjis);
    EXPECT_EQ(&none.GetEncoding(), &sjis);
    EXPECT_EQ(&output.GetEncoding(), &sjis);
}

TEST(ExceptionsTest, CopiesOwnTheirMessages) {
    NamedEncoding sjis;
    std::string const expected = "Unable to load the library \"x\" for the encoding \"Shift_JIS\"";
    UnableToLoadEncodingLibrary* original = new UnableToLoadEncodingLibrary(sjis, "x");
    UnableToLoadEncodingLibrary copy(*original);
    EncodingNotLoaded assigned(sjis);
    assigned = *original;
    delete original;
    EXPECT_EQ(copy.what(), expected);
    EXPECT_EQ(assigned.what(), expected);  // sliced, but the message is the stored one
    EXPECT_STREQ(copy.GetLibrary(), "x");
}

}  // namespace

#include "zuuc/exceptions.h"

#include <initializer_list>

#include "zuuc/char_encoding.h"

// The copy operations and destructors are defined out of line so that every
// exception class has them exported from the library.
#define ZUUC_EXCEPTION_COPYABLE(Class)                 \
    Class::Class(Class const &) = default;             \
    Class & Class::operator=(Class const &) = default; \
    Class::~Class() = default;

// A class whose message is a fixed text.
#define ZUUC_FIXED_MESSAGE_EXCEPTION(Class, text) \
    Class::Class() = default;                     \
    ZUUC_EXCEPTION_COPYABLE(Class)                \
    char const * Class::what() const {            \
        return text;                              \
    }

ZUUC_FIXED_MESSAGE_EXCEPTION(zu_exception, "zu_exception")
ZUUC_FIXED_MESSAGE_EXCEPTION(zu_logic_error, "zu_logic_error")
ZUUC_FIXED_MESSAGE_EXCEPTION(zu_out_of_range, "zu_out_of_range")
ZUUC_FIXED_MESSAGE_EXCEPTION(zu_file_error, "zu_file_error")
ZUUC_FIXED_MESSAGE_EXCEPTION(UnicodeLibraryException, "unknown Unicode Library exception")
ZUUC_FIXED_MESSAGE_EXCEPTION(zu_collation_file_error, "Collation sequence data file read failed")
ZUUC_FIXED_MESSAGE_EXCEPTION(zu_collation_file_corruption_error,
                             "Collation sequence data file is corrupted")
ZUUC_FIXED_MESSAGE_EXCEPTION(zu_collation_key_overflow,
                             "Attempt to copy too many bytes of collation key into a CollationKey")

namespace {

// Builds the concatenation of up to five pieces; a null piece adds nothing.
zu_string Concat(char const * a, char const * b, char const * c = nullptr, char const * d = nullptr,
                 char const * e = nullptr) {
    zu_string s;
    for (char const * piece : {a, b, c, d, e}) {
        if (piece != nullptr) {
            s += piece;
        }
    }
    return s;
}

}  // namespace

// --- EncodingNotLoaded and its subclasses -----------------------------------

EncodingNotLoaded::EncodingNotLoaded(TextEncoding const & encoding)
    : message_(Concat("The encoding \"", encoding.Name(), "\" could not be loaded")),
      encoding_(&encoding) {}
ZUUC_EXCEPTION_COPYABLE(EncodingNotLoaded)

char const * EncodingNotLoaded::what() const {
    return message_.c_str();
}
TextEncoding const & EncodingNotLoaded::GetEncoding() const {
    return *encoding_;
}
void EncodingNotLoaded::SetMessage(zu_string const & message) {
    message_ = message;
}

NoEncodingLibraryRegistered::NoEncodingLibraryRegistered(TextEncoding const & encoding)
    : EncodingNotLoaded(encoding) {
    SetMessage(Concat("No library registered for encoding \"", encoding.Name(), "\""));
}
ZUUC_EXCEPTION_COPYABLE(NoEncodingLibraryRegistered)

UnableToLoadEncodingLibrary::UnableToLoadEncodingLibrary(TextEncoding const & encoding,
                                                         char const * library)
    : EncodingNotLoaded(encoding), library_(library) {
    SetMessage(Concat("Unable to load the library \"", library, "\" for the encoding \"",
                      encoding.Name(), "\""));
}
ZUUC_EXCEPTION_COPYABLE(UnableToLoadEncodingLibrary)
char const * UnableToLoadEncodingLibrary::GetLibrary() const {
    return library_;
}

LibraryDoesNotImplementEncoding::LibraryDoesNotImplementEncoding(TextEncoding const & encoding,
                                                                 char const * library)
    : EncodingNotLoaded(encoding), library_(library) {
    SetMessage(Concat("The library \"", library, "\" was loaded, but did not implement encoding \"",
                      encoding.Name(), "\""));
}
ZUUC_EXCEPTION_COPYABLE(LibraryDoesNotImplementEncoding)
char const * LibraryDoesNotImplementEncoding::GetLibrary() const {
    return library_;
}

// --- InvalidOutputEncoding -------------------------------------------------------

InvalidOutputEncoding::InvalidOutputEncoding(CharEncoding const & encoding)
    : encoding_(&encoding), message_(Concat("Invalid output encoding: ", encoding.Name())) {}
ZUUC_EXCEPTION_COPYABLE(InvalidOutputEncoding)

char const * InvalidOutputEncoding::what() const {
    return message_.c_str();
}
CharEncoding const & InvalidOutputEncoding::GetEncoding() const {
    return *encoding_;
}

// The library's exception tree.
//
// Everything the library throws derives from zu_exception, which has its own
// root and is deliberately not a std::exception: catch zu_exception& to catch
// every library error. Errors of the encoding machinery derive from
// UnicodeLibraryException. The identifier errors (Malformed,
// TooManyVariations) are nested in TextEncodingID and EncodingVariationID,
// see zuuc/identifiers.h.
#ifndef ZUUC_EXCEPTIONS_H
#define ZUUC_EXCEPTIONS_H

#include "zuuc/export.h"
#include "zuuc/strings.h"

class TextEncoding;
class CharEncoding;

class ZUUC_EXPORT zu_exception {
public:
    zu_exception();
    zu_exception(zu_exception const &);
    zu_exception & operator=(zu_exception const &);
    virtual ~zu_exception();
    // A NUL-terminated message, valid as long as the exception object lives.
    virtual char const * what() const;
};

class ZUUC_EXPORT zu_logic_error : public zu_exception {
public:
    zu_logic_error();
    zu_logic_error(zu_logic_error const &);
    zu_logic_error & operator=(zu_logic_error const &);
    ~zu_logic_error() override;
    char const * what() const override;
};

class ZUUC_EXPORT zu_out_of_range : public zu_logic_error {
public:
    zu_out_of_range();
    zu_out_of_range(zu_out_of_range const &);
    zu_out_of_range & operator=(zu_out_of_range const &);
    ~zu_out_of_range() override;
    char const * what() const override;
};

class ZUUC_EXPORT zu_file_error : public zu_exception {
public:
    zu_file_error();
    zu_file_error(zu_file_error const &);
    zu_file_error & operator=(zu_file_error const &);
    ~zu_file_error() override;
    char const * what() const override;
};

class ZUUC_EXPORT UnicodeLibraryException : public zu_exception {
public:
    UnicodeLibraryException();
    UnicodeLibraryException(UnicodeLibraryException const &);
    UnicodeLibraryException & operator=(UnicodeLibraryException const &);
    ~UnicodeLibraryException() override;
    char const * what() const override;
};

// An encoding's tables could not be brought in. Thrown only through its
// three subclasses; catch this class to handle all of them.
class ZUUC_EXPORT EncodingNotLoaded : public UnicodeLibraryException {
public:
    explicit EncodingNotLoaded(TextEncoding const & encoding);
    EncodingNotLoaded(EncodingNotLoaded const &);
    EncodingNotLoaded & operator=(EncodingNotLoaded const &);
    ~EncodingNotLoaded() override;
    char const * what() const override;
    TextEncoding const & GetEncoding() const;

protected:
    // Subclasses replace the message after this constructor has built its own.
    void SetMessage(zu_string const & message);

private:
    zu_string message_;
    TextEncoding const * encoding_;  // not owned; encodings live for the whole process
};

class ZUUC_EXPORT NoEncodingLibraryRegistered : public EncodingNotLoaded {
public:
    explicit NoEncodingLibraryRegistered(TextEncoding const & encoding);
    NoEncodingLibraryRegistered(NoEncodingLibraryRegistered const &);
    NoEncodingLibraryRegistered & operator=(NoEncodingLibraryRegistered const &);
    ~NoEncodingLibraryRegistered() override;
};

// The library name pointer is kept, not copied: the library passes only
// names that live as long as the process.
class ZUUC_EXPORT UnableToLoadEncodingLibrary : public EncodingNotLoaded {
public:
    UnableToLoadEncodingLibrary(TextEncoding const & encoding, char const * library);
    UnableToLoadEncodingLibrary(UnableToLoadEncodingLibrary const &);
    UnableToLoadEncodingLibrary & operator=(UnableToLoadEncodingLibrary const &);
    ~UnableToLoadEncodingLibrary() override;
    char const * GetLibrary() const;

private:
    char const * library_;
};

class ZUUC_EXPORT LibraryDoesNotImplementEncoding : public EncodingNotLoaded {
public:
    LibraryDoesNotImplementEncoding(TextEncoding const & encoding, char const * library);
    LibraryDoesNotImplementEncoding(LibraryDoesNotImplementEncoding const &);
    LibraryDoesNotImplementEncoding & operator=(LibraryDoesNotImplementEncoding const &);
    ~LibraryDoesNotImplementEncoding() override;
    char const * GetLibrary() const;

private:
    char const * library_;
};

// The output encoding of a converter cannot be written.
class ZUUC_EXPORT InvalidOutputEncoding : public UnicodeLibraryException {
public:
    explicit InvalidOutputEncoding(CharEncoding const & encoding);
    InvalidOutputEncoding(InvalidOutputEncoding const &);
    InvalidOutputEncoding & operator=(InvalidOutputEncoding const &);
    ~InvalidOutputEncoding() override;
    char const * what() const override;
    CharEncoding const & GetEncoding() const;

private:
    CharEncoding const * encoding_;  // not owned
    zu_string message_;
};

class ZUUC_EXPORT zu_collation_file_error : public zu_exception {
public:
    zu_collation_file_error();
    zu_collation_file_error(zu_collation_file_error const &);
    zu_collation_file_error & operator=(zu_collation_file_error const &);
    ~zu_collation_file_error() override;
    char const * what() const override;
};

class ZUUC_EXPORT zu_collation_file_corruption_error : public zu_exception {
public:
    zu_collation_file_corruption_error();
    zu_collation_file_corruption_error(zu_collation_file_corruption_error const &);
    zu_collation_file_corruption_error & operator=(zu_collation_file_corruption_error const &);
    ~zu_collation_file_corruption_error() override;
    char const * what() const override;
};

class ZUUC_EXPORT zu_collation_key_overflow : public zu_exception {
public:
    zu_collation_key_overflow();
    zu_collation_key_overflow(zu_collation_key_overflow const &);
    zu_collation_key_overflow & operator=(zu_collation_key_overflow const &);
    ~zu_collation_key_overflow() override;
    char const * what() const override;
};

#endif

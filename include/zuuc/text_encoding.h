// Encoding objects and the process-wide registry through which callers find them.
//
// TextEncoding is the root of every encoding. Encodings are process-wide
// objects: they are never copied or deleted by the library, and callers hold
// plain pointers or references to them. Every encoding with a non-zero
// identifier registers itself on construction; the registry is searched in
// registration order by name, identifier, code page or position.
#ifndef ZUUC_TEXT_ENCODING_H
#define ZUUC_TEXT_ENCODING_H

#include <atomic>

#include "zuuc/export.h"
#include "zuuc/identifiers.h"
#include "zuuc/strings.h"

class CharEncoding;
class Char16Encoding;
class Char32Encoding;
class EncodingVariation;

class ZUUC_EXPORT TextEncoding {
public:
    // --- virtual interface, in slot order ---
    // Bytes per code unit: 1, 2 or 4.
    virtual unsigned int TokenSize() const = 0;
    virtual bool IsValidForInput() const;
    virtual bool IsValidForOutput() const;
    // Points `chars` at the NUL-terminated substitute written in place of an
    // unconvertible character and returns its length in bytes.
    virtual unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const;
    // True when the tables are present or can be brought in (this may load
    // the encoding library as a side effect).
    virtual bool IsLoadable() const;
    virtual ~TextEncoding();

    // Memberwise copies; a copy is not registered anywhere.
    TextEncoding(TextEncoding const & other);
    TextEncoding & operator=(TextEncoding const & other);

    // --- identity and names ---
    TextEncodingID GetTextEncodingID() const;
    // The primary name; a variant without names of its own is called
    // "<parent name>:<variation name>".
    char const * Name() const;
    char const * MimeName() const;
    unsigned short const * NameInUnicode() const;
    unsigned short const * MimeNameInUnicode() const;
    unsigned int CountNicknames() const;
    char const * GetNickname(unsigned int i) const;
    unsigned int CodePage() const;

    // True when the candidate [begin, end) names this encoding, ignoring
    // '-', '_', ' ' and ASCII case; a null end means NUL-terminated. A name
    // of the form "base:variation" names a variant.
    bool HasName(char const * begin, char const * end = nullptr) const;
    bool HasName(unsigned short const * name) const;
    static bool SameName(char const * known, char const * begin, char const * end);

    bool operator==(TextEncoding const & other) const;
    bool operator!=(TextEncoding const & other) const;

    // --- kinds ---
    bool IsCharEncoding() const;
    bool IsExternalEncoding() const;
    bool IsChar16Encoding() const;
    bool IsInternalEncoding() const;
    bool IsChar32Encoding() const;
    bool HasTokenSize(unsigned int size) const;
    CharEncoding * AsCharEncoding();
    CharEncoding const * AsCharEncoding() const;
    Char16Encoding * AsChar16Encoding();
    Char16Encoding const * AsChar16Encoding() const;
    Char32Encoding * AsChar32Encoding();
    Char32Encoding const * AsChar32Encoding() const;
    CharEncoding * AsExternalEncoding();
    CharEncoding const * AsExternalEncoding() const;
    Char16Encoding * AsInternalEncoding();
    Char16Encoding const * AsInternalEncoding() const;
    bool IsUTF32InUnicode() const;

    // --- variants ---
    TextEncoding * GetParentEncoding() const;
    EncodingVariation const * GetParentVariation() const;
    bool IsVariantEncoding() const;
    bool IsBaseEncoding() const;
    // The variant reached by applying the listed variations in order, or null.
    TextEncoding * LookupVariant(EncodingVariationID variations) const;

    // --- loading the tables on demand ---
    bool IsLoaded() const;
    // Brings the tables in, loading the encoding library if needed. Throws
    // NoEncodingLibraryRegistered, UnableToLoadEncodingLibrary or
    // LibraryDoesNotImplementEncoding on failure.
    void Load() const;
    // The encoding library that holds the tables, or null.
    char const * LibraryName() const;

    // --- the registry; lookups never throw, they return null ---
    static unsigned int Count();
    static TextEncoding * Lookup(unsigned int index);
    static TextEncoding * Lookup(TextEncodingID id);
    // token size 0 accepts every width.
    static TextEncoding * Lookup(char const * name, unsigned int token_size);
    static TextEncoding * Lookup(unsigned short const * name, unsigned int token_size);
    static TextEncoding * Lookup(unsigned int const * name, unsigned int token_size);
    static TextEncoding * LookupCodePage(unsigned int code_page);

protected:
    using LoaderFunction = void (*)();

    TextEncoding(TextEncodingID id, unsigned char const * substitute, char const ** nicknames,
                 char const * mime_name, unsigned int code_page);
    TextEncoding(TextEncodingID id, unsigned char const * substitute, char const ** nicknames,
                 char const * mime_name, unsigned int code_page, LoaderFunction loader,
                 char const * library);
    TextEncoding(TextEncoding const & parent, EncodingVariation const & variation,
                 char const ** nicknames, char const * mime_name, unsigned int code_page);

    static char const * LastColon(char const * begin, char const * end);
    bool HasSimpleName(char const * begin, char const * end) const;
    bool HasVariantName(char const * base_begin, char const * base_end,
                        char const * variation_begin, char const * variation_end) const;

    void set_isUTF32InUnicode(bool const & value);
    void set_is_loaded(bool const & value);

private:
    void Register();
    void CopyFrom(TextEncoding const & other);

    std::atomic<bool> loaded_;
    TextEncodingID id_;
    TextEncoding * parent_;
    EncodingVariation const * parent_variation_;
    unsigned char const * substitute_;
    unsigned int substitute_length_;
    char const ** nicknames_;
    char const * mime_name_;
    unsigned int code_page_;
    // Built on first use; guarded by the registry's cache lock.
    mutable zu_string name_cache_;
    mutable zu_wstring unicode_name_cache_;
    mutable zu_wstring unicode_mime_name_cache_;
    mutable std::atomic<bool> name_cache_built_;
    mutable std::atomic<bool> unicode_name_cache_built_;
    mutable std::atomic<bool> unicode_mime_name_cache_built_;
    std::atomic<bool> utf32_in_unicode_;
    TextEncoding * variants_[10];
    LoaderFunction loader_;
    char const * library_;
};

#endif

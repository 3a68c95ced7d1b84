// Buffer converters: push-style conversion between caller-owned buffers.
//
// The caller hands in a range of input units and a range of output space;
// the converter converts as much as fits, advances both pointers and tells
// why it stopped. There is one class per pair of code-unit widths:
//
//   CharToCharBufferConverter        char           -> char
//   CharToChar16BufferConverter      char           -> unsigned short
//   CharToChar32BufferConverter      char           -> unsigned int
//   Char16ToCharBufferConverter      unsigned short -> char
//   Char16ToChar16BufferConverter    unsigned short -> unsigned short
//   Char16ToChar32BufferConverter    unsigned short -> unsigned int
//   Char32ToCharBufferConverter      unsigned int   -> char
//   Char32ToChar16BufferConverter    unsigned int   -> unsigned short
//   Char32ToChar32BufferConverter    unsigned int   -> unsigned int
//
// A buffer converter takes no behaviour object: every malformed or
// unconvertible character is replaced by one substitute and counted. The
// substitute is U+FFFD for 16- and 32-bit output and, for byte output, the
// output encoding's substitute bytes for the converter's current shift mode;
// a substitute is always written whole.
//
// Use:
//
//   CharToChar16BufferConverter converter;
//   if (!converter.Initialize(CharEncoding::UTF8(), Char16Encoding::UTF16())) ...
//   // any number of calls with final == false, each returning
//   // kBufferConverterInputConsumed or kBufferConverterOutputFull, then
//   // calls with final == true until the result is 0 or 1.
//
// Result kBufferConverterOutputFull may come from any call, final or not:
// call again with more output space and the input that was not consumed
// (`in` shows how far input was consumed). Nothing is lost: a substitute that
// did not fit is written first on the next call, and a final call that ran
// out of room is continued by calling again with final == true. A call whose
// output range is empty converts nothing while input remains and returns
// kBufferConverterOutputFull. When the two encodings are chained through
// Unicode, input already turned into Unicode but not yet written stays in
// the converter and comes out first on the next call.
//
// Once a final call has completed (result 0 or 1) every Convert returns
// kBufferConverterAlreadyFinished until Reset.
//
// Convert, Initialize and Reset never throw. A converter is used by one
// thread at a time. The converters cannot be copied.
#ifndef ZUUC_BUFFER_CONVERTERS_H
#define ZUUC_BUFFER_CONVERTERS_H

#include "zuuc/export.h"

class CharEncoding;
class Char16Encoding;
class Char32Encoding;

// What Convert returns.
enum BufferConverterResult : int {
    // A final call converted and finished everything; no substitute has been
    // written since construction or the last Reset.
    kBufferConverterComplete = 0,
    // As 0, but at least one substitute has been written.
    kBufferConverterCompleteWithSubstitutions = 1,
    // The output range has no room for the next unit or substitute.
    kBufferConverterOutputFull = 2,
    // All input was converted and final was false; call again with more.
    kBufferConverterInputConsumed = 3,
    // Initialize was not called or failed.
    kBufferConverterNotInitialized = 4,
    // A final call has completed; call Reset first.
    kBufferConverterAlreadyFinished = 5
};

// The conversion state behind a converter (defined inside the library).
template <class In, class Out>
class BufferConverterImpl;

// Every converter class has these members (In/Out are its unit types,
// InEnc/OutEnc the encoding classes of those widths):
//
//   bool Initialize(const InEnc& in, const OutEnc& out)
//       Builds the conversion from `in` to `out`. The two are chained
//       through UTF-32 when either has 4-byte units or is flagged
//       UTF-32-in-Unicode, otherwise through UTF-16; a side that is that
//       pivot encoding itself converts directly. False when already
//       initialised or when no conversion exists for the pair (including
//       an encoding whose tables cannot be loaded).
//   BufferConverterResult Convert(const In*& in, const In* inEnd,
//                                 Out*& out, const Out* outEnd, bool final)
//       Converts from [in, inEnd) into [out, outEnd); see above.
//   bool Reset()
//       Back to the initial state for a new text with the same encodings:
//       clears the finished state, anything pending and the substitution
//       count. False when not initialised.
//   unsigned int Substitutions() const
//       Substitutes written since construction or the last Reset.
#define ZUUC_DECLARE_BUFFER_CONVERTER(Name, In, Out, InEnc, OutEnc)                 \
    class ZUUC_EXPORT Name {                                                        \
    public:                                                                         \
        Name();                                                                     \
        ~Name();                                                                    \
        Name(Name const &) = delete;                                                \
        Name & operator=(Name const &) = delete;                                    \
                                                                                    \
        bool Initialize(InEnc const & in, OutEnc const & out);                      \
        BufferConverterResult Convert(In const *& in, In const * inEnd, Out *& out, \
                                      Out const * outEnd, bool final);              \
        bool Reset();                                                               \
        unsigned int Substitutions() const;                                         \
                                                                                    \
    private:                                                                        \
        BufferConverterImpl<In, Out> * impl_;                                       \
    }

ZUUC_DECLARE_BUFFER_CONVERTER(CharToCharBufferConverter, char, char, CharEncoding, CharEncoding);
ZUUC_DECLARE_BUFFER_CONVERTER(CharToChar16BufferConverter, char, unsigned short, CharEncoding,
                              Char16Encoding);
ZUUC_DECLARE_BUFFER_CONVERTER(CharToChar32BufferConverter, char, unsigned int, CharEncoding,
                              Char32Encoding);
ZUUC_DECLARE_BUFFER_CONVERTER(Char16ToCharBufferConverter, unsigned short, char, Char16Encoding,
                              CharEncoding);
ZUUC_DECLARE_BUFFER_CONVERTER(Char16ToChar16BufferConverter, unsigned short, unsigned short,
                              Char16Encoding, Char16Encoding);
ZUUC_DECLARE_BUFFER_CONVERTER(Char16ToChar32BufferConverter, unsigned short, unsigned int,
                              Char16Encoding, Char32Encoding);
ZUUC_DECLARE_BUFFER_CONVERTER(Char32ToCharBufferConverter, unsigned int, char, Char32Encoding,
                              CharEncoding);
ZUUC_DECLARE_BUFFER_CONVERTER(Char32ToChar16BufferConverter, unsigned int, unsigned short,
                              Char32Encoding, Char16Encoding);
ZUUC_DECLARE_BUFFER_CONVERTER(Char32ToChar32BufferConverter, unsigned int, unsigned int,
                              Char32Encoding, Char32Encoding);

#undef ZUUC_DECLARE_BUFFER_CONVERTER

#endif

// Stream adapters: a source or sink of one code-unit width read or written
// as another width through a transcoder.
//
// A source adapter (CharSource_X_to_Y) pulls units of width X from an input
// source, converts a whole window at a time and offers the result as a
// source of width Y. A sink adapter (CharSink_X_to_Y) accepts units of width
// X, converts them and puts the result into a target sink of width Y. Both
// own their transcoder (deleted with the adapter) but not the source or
// sink they wrap, which must outlive them.
//
// The adapters are where conversion problems are raised: when the
// transcoder stops on input it cannot convert, the adapter describes the
// event in a problem object (zuuc/problems.h) and hands it to its behaviour.
// What the behaviour inserts comes out at the point of the problem: inserted
// output unconverted, then inserted input converted (problems in inserted
// input are not reported again). An exception thrown by the behaviour passes
// to the caller of GetBuffer or Put; the units converted before the problem
// are kept, and conversion can go on after the offending input.
//
// Which problems each adapter raises (transcoder results 3, 4 and 5):
//   8-to-16, 8-to-32, 16-to-32   illegal byte range, no character defined
//   16-to-8, 32-to-8, 32-to-16   character not in repertoire
//   16-to-16, 32-to-32           none: conversion simply goes on
#ifndef ZUUC_STREAM_ADAPTERS_H
#define ZUUC_STREAM_ADAPTERS_H

#include <cstring>

#include "zuuc/char_encoding.h"
#include "zuuc/export.h"
#include "zuuc/foundation.h"
#include "zuuc/problems.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"
#include "zuuc/transcoder.h"

// ===========================================================================
// Sources of UTF-32 that know what they decode
// ===========================================================================

// A source of UTF-32 decoded from some encoding. The encodings' factories
// return one from CreateCharSourceToUnicode.
class ZUUC_EXPORT ToUnicodeSource : public Char32Source {
public:
    // The rating of a source that decodes a known encoding (not rated).
    static constexpr int kNotRated = -2147483647 - 1;

    // --- Virtual operations, continued after FillBuffer --------------------
    ~ToUnicodeSource() override;
    // The encoding the source decodes (for an auto-detecting source, the
    // encoding detected).
    virtual TextEncoding const & ActualInputEncoding() const = 0;
    // How well the input matched that encoding; kNotRated when the encoding
    // was given rather than detected.
    virtual int ActualRating() const = 0;

protected:
    ToUnicodeSource();
    ToUnicodeSource(ToUnicodeSource const & other);
    explicit ToUnicodeSource(UnicodeLibActor const & actor);
    explicit ToUnicodeSource(UnicodeLibActor const * actor);
    ToUnicodeSource & operator=(ToUnicodeSource const & other);
};

// Forwards another UTF-32 source (as Char32ProxySource does: the proxied
// source learns what was consumed when the proxy refills, and once it ends
// the proxy stays at end of input) and reports a given encoding, not rated.
// Its director may own up to two actors (typically the chain that produces
// the proxied source), deleted with the proxy.
class ZUUC_EXPORT ToUnicodeProxySource : public ToUnicodeSource, public UnicodeLibDirector {
public:
    // Takes the behaviour of `source` (the default when null).
    ToUnicodeProxySource(TextEncoding const & encoding, Char32Source * source);
    ToUnicodeProxySource(ToUnicodeProxySource const &) = delete;
    ToUnicodeProxySource & operator=(ToUnicodeProxySource const &) = delete;
    ~ToUnicodeProxySource() override;

    // A non-null behaviour goes to the owned actors first, then (null or
    // not) to the proxied source, then to the proxy itself.
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    TextEncoding const & ActualInputEncoding() const override;
    int ActualRating() const override;  // kNotRated

protected:
    bool FillBuffer() override;

private:
    TextEncoding const * encoding_;
    Char32Source * source_;
    bool exhausted_;
};

// ===========================================================================
// Internal helper
// ===========================================================================

namespace zuuc_detail {

// Units a behaviour inserted, held until the adapter has passed them on.
// Short runs (the usual substitutes) live inside the object; longer ones go
// to the heap. Not copyable.
template <class T>
class PendingUnits {
public:
    PendingUnits() : heap_(nullptr), position_(nullptr), end_(nullptr) {}
    PendingUnits(PendingUnits const &) = delete;
    PendingUnits & operator=(PendingUnits const &) = delete;
    ~PendingUnits() { delete[] heap_; }

    // Replaces whatever is held with a copy of [begin, end) (which may lie
    // inside what is held).
    void Assign(T const * begin, T const * end) {
        std::size_t const n =
            begin != nullptr && end > begin ? static_cast<std::size_t>(end - begin) : 0;
        if (n <= kInline) {
            if (n != 0) {
                std::memmove(inline_, begin, n * sizeof(T));
            }
            delete[] heap_;
            heap_ = nullptr;
            position_ = inline_;
        } else {
            T * const copy = new T[n];
            std::memcpy(copy, begin, n * sizeof(T));
            delete[] heap_;
            heap_ = copy;
            position_ = copy;
        }
        end_ = position_ + n;
    }
    void Clear() {
        delete[] heap_;
        heap_ = nullptr;
        position_ = end_ = nullptr;
    }
    bool empty() const { return position_ == end_; }
    T const *& position() { return position_; }
    T const * end() const { return end_; }

private:
    static constexpr std::size_t kInline = 16;
    T inline_[kInline];
    T * heap_;
    T const * position_;
    T const * end_;
};

}  // namespace zuuc_detail

// ===========================================================================
// Source adapters
// ===========================================================================
//
// Constructed with (input source, input encoding, transcoder, output
// encoding): the adapter takes the input source's behaviour and gives it to
// the transcoder, and owns the transcoder. SetBehavior gives the behaviour
// to the transcoder, then takes it itself. The window handed to the consumer
// holds up to 1024 units (512 for the 8-to-16 and 16-to-16 adapters).
//
// When the input source ends, the adapter finishes the transcoder (what it
// still owes comes out, an incomplete sequence is reported) and then reports
// end of input; a later GetBuffer finishes again, which yields nothing.

class ZUUC_EXPORT CharSource_8_to_16 : public Char16Source, public ProblemSolver_8_to_16 {
public:
    CharSource_8_to_16(CharSource & source, CharEncoding const & input_encoding,
                       Transcoder<char, unsigned short> * transcoder,
                       Char16Encoding const & output_encoding);
    CharSource_8_to_16(CharSource_8_to_16 const &) = delete;
    CharSource_8_to_16 & operator=(CharSource_8_to_16 const &) = delete;
    ~CharSource_8_to_16() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

    void InsertInput(char const * begin, char const * end) override;
    void InsertOutput(unsigned short const * begin, unsigned short const * end) override;

    // As for ToUnicodeSource: the input encoding, not rated.
    virtual TextEncoding const & ActualInputEncoding() const;
    virtual int ActualRating() const;

protected:
    bool FillBuffer() override;

private:
    CharSource * input_;
    CharEncoding const * input_encoding_;
    Char16Encoding const * output_encoding_;
    Transcoder<char, unsigned short> * transcoder_;
    zuuc_detail::PendingUnits<char> pending_input_;
    zuuc_detail::PendingUnits<unsigned short> pending_output_;
    zu_buffer<unsigned short, 512> buffer_;
};

class ZUUC_EXPORT CharSource_8_to_32 : public ToUnicodeSource, public ProblemSolver_8_to_32 {
public:
    CharSource_8_to_32(CharSource & source, CharEncoding const & input_encoding,
                       Transcoder<char, unsigned int> * transcoder,
                       Char32Encoding const & output_encoding);
    CharSource_8_to_32(CharSource_8_to_32 const &) = delete;
    CharSource_8_to_32 & operator=(CharSource_8_to_32 const &) = delete;
    ~CharSource_8_to_32() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    TextEncoding const & ActualInputEncoding() const override;
    int ActualRating() const override;

    void InsertInput(char const * begin, char const * end) override;
    void InsertOutput(unsigned int const * begin, unsigned int const * end) override;

protected:
    bool FillBuffer() override;

private:
    CharSource * input_;
    CharEncoding const * input_encoding_;
    Char32Encoding const * output_encoding_;
    Transcoder<char, unsigned int> * transcoder_;
    zuuc_detail::PendingUnits<char> pending_input_;
    zuuc_detail::PendingUnits<unsigned int> pending_output_;
    zu_buffer<unsigned int, 1024> buffer_;
};

class ZUUC_EXPORT CharSource_16_to_8 : public CharSource, public ProblemSolver_16_to_8 {
public:
    CharSource_16_to_8(Char16Source & source, Char16Encoding const & input_encoding,
                       Transcoder<unsigned short, char> * transcoder,
                       CharEncoding const & output_encoding);
    CharSource_16_to_8(CharSource_16_to_8 const &) = delete;
    CharSource_16_to_8 & operator=(CharSource_16_to_8 const &) = delete;
    ~CharSource_16_to_8() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

    void InsertInput(unsigned short const * begin, unsigned short const * end) override;
    void InsertOutput(char const * begin, char const * end) override;

protected:
    bool FillBuffer() override;

private:
    Char16Source * input_;
    Char16Encoding const * input_encoding_;
    CharEncoding const * output_encoding_;
    Transcoder<unsigned short, char> * transcoder_;
    zuuc_detail::PendingUnits<unsigned short> pending_input_;
    zuuc_detail::PendingUnits<char> pending_output_;
    zu_buffer<char, 1024> buffer_;
};

class ZUUC_EXPORT CharSource_16_to_16 : public Char16Source, public ProblemSolver_16_to_16 {
public:
    CharSource_16_to_16(Char16Source & source, Char16Encoding const & input_encoding,
                        Transcoder<unsigned short, unsigned short> * transcoder,
                        Char16Encoding const & output_encoding);
    CharSource_16_to_16(CharSource_16_to_16 const &) = delete;
    CharSource_16_to_16 & operator=(CharSource_16_to_16 const &) = delete;
    ~CharSource_16_to_16() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

    void InsertInput(unsigned short const * begin, unsigned short const * end) override;
    void InsertOutput(unsigned short const * begin, unsigned short const * end) override;

    // As for ToUnicodeSource: the input encoding, not rated.
    virtual TextEncoding const & ActualInputEncoding() const;
    virtual int ActualRating() const;

protected:
    bool FillBuffer() override;

private:
    Char16Source * input_;
    Char16Encoding const * input_encoding_;
    Char16Encoding const * output_encoding_;
    Transcoder<unsigned short, unsigned short> * transcoder_;
    zuuc_detail::PendingUnits<unsigned short> pending_input_;
    zuuc_detail::PendingUnits<unsigned short> pending_output_;
    zu_buffer<unsigned short, 512> buffer_;
};

class ZUUC_EXPORT CharSource_16_to_32 : public ToUnicodeSource, public ProblemSolver_16_to_32 {
public:
    CharSource_16_to_32(Char16Source & source, Char16Encoding const & input_encoding,
                        Transcoder<unsigned short, unsigned int> * transcoder,
                        Char32Encoding const & output_encoding);
    CharSource_16_to_32(CharSource_16_to_32 const &) = delete;
    CharSource_16_to_32 & operator=(CharSource_16_to_32 const &) = delete;
    ~CharSource_16_to_32() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    TextEncoding const & ActualInputEncoding() const override;
    int ActualRating() const override;

    void InsertInput(unsigned short const * begin, unsigned short const * end) override;
    void InsertOutput(unsigned int const * begin, unsigned int const * end) override;

protected:
    bool FillBuffer() override;

private:
    Char16Source * input_;
    Char16Encoding const * input_encoding_;
    Char32Encoding const * output_encoding_;
    Transcoder<unsigned short, unsigned int> * transcoder_;
    zuuc_detail::PendingUnits<unsigned short> pending_input_;
    zuuc_detail::PendingUnits<unsigned int> pending_output_;
    zu_buffer<unsigned int, 1024> buffer_;
};

class ZUUC_EXPORT CharSource_32_to_8 : public CharSource, public ProblemSolver_32_to_8 {
public:
    CharSource_32_to_8(Char32Source & source, Char32Encoding const & input_encoding,
                       Transcoder<unsigned int, char> * transcoder,
                       CharEncoding const & output_encoding);
    CharSource_32_to_8(CharSource_32_to_8 const &) = delete;
    CharSource_32_to_8 & operator=(CharSource_32_to_8 const &) = delete;
    ~CharSource_32_to_8() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

    void InsertInput(unsigned int const * begin, unsigned int const * end) override;
    void InsertOutput(char const * begin, char const * end) override;

protected:
    bool FillBuffer() override;

private:
    Char32Source * input_;
    Char32Encoding const * input_encoding_;
    CharEncoding const * output_encoding_;
    Transcoder<unsigned int, char> * transcoder_;
    zuuc_detail::PendingUnits<unsigned int> pending_input_;
    zuuc_detail::PendingUnits<char> pending_output_;
    zu_buffer<char, 1024> buffer_;
};

class ZUUC_EXPORT CharSource_32_to_16 : public Char16Source, public ProblemSolver_32_to_16 {
public:
    CharSource_32_to_16(Char32Source & source, Char32Encoding const & input_encoding,
                        Transcoder<unsigned int, unsigned short> * transcoder,
                        Char16Encoding const & output_encoding);
    CharSource_32_to_16(CharSource_32_to_16 const &) = delete;
    CharSource_32_to_16 & operator=(CharSource_32_to_16 const &) = delete;
    ~CharSource_32_to_16() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

    void InsertInput(unsigned int const * begin, unsigned int const * end) override;
    void InsertOutput(unsigned short const * begin, unsigned short const * end) override;

protected:
    bool FillBuffer() override;

private:
    Char32Source * input_;
    Char32Encoding const * input_encoding_;
    Char16Encoding const * output_encoding_;
    Transcoder<unsigned int, unsigned short> * transcoder_;
    zuuc_detail::PendingUnits<unsigned int> pending_input_;
    zuuc_detail::PendingUnits<unsigned short> pending_output_;
    zu_buffer<unsigned short, 1024> buffer_;
};

class ZUUC_EXPORT CharSource_32_to_32 : public ToUnicodeSource, public ProblemSolver_32_to_32 {
public:
    CharSource_32_to_32(Char32Source & source, Char32Encoding const & input_encoding,
                        Transcoder<unsigned int, unsigned int> * transcoder,
                        Char32Encoding const & output_encoding);
    CharSource_32_to_32(CharSource_32_to_32 const &) = delete;
    CharSource_32_to_32 & operator=(CharSource_32_to_32 const &) = delete;
    ~CharSource_32_to_32() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    TextEncoding const & ActualInputEncoding() const override;
    int ActualRating() const override;

    void InsertInput(unsigned int const * begin, unsigned int const * end) override;
    void InsertOutput(unsigned int const * begin, unsigned int const * end) override;

protected:
    bool FillBuffer() override;

private:
    Char32Source * input_;
    Char32Encoding const * input_encoding_;
    Char32Encoding const * output_encoding_;
    Transcoder<unsigned int, unsigned int> * transcoder_;
    zuuc_detail::PendingUnits<unsigned int> pending_input_;
    zuuc_detail::PendingUnits<unsigned int> pending_output_;
    zu_buffer<unsigned int, 1024> buffer_;
};

// ===========================================================================
// Sink adapters
// ===========================================================================
//
// Constructed with (input encoding, transcoder, output encoding, target
// sink): the adapter takes the target's behaviour and gives it to the
// transcoder, and owns the transcoder. What is put is converted at once
// through a local buffer (1024 units; 512 for 16-bit output) and put into
// the target range by range. RemainingCapacity is unlimited (-1).
//
// Flush finishes the conversion (what the transcoder still owes reaches the
// target) and flushes the target. The destructor finishes the conversion
// too, but does not flush the target; a problem met there is handled by the
// behaviour, and anything the behaviour throws at that point is dropped.
//
// Fixed-size targets never receive part of a character: the adapters that
// write bytes or UTF-16 from UTF-32 convert no more than the target's
// RemainingCapacity allows. When the next character does not fit, a to-byte
// adapter marks the target truncated (MarkAsTruncated), and the 32-to-16
// adapter, whose targets cannot be marked, remembers the truncation itself
// and discards everything put into it later.
//
// Inserting input through a problem converts it at once into the target;
// inserted output goes straight into the target.

class ZUUC_EXPORT CharSink_8_to_16 : public CharSink, public ProblemSolver_8_to_16 {
public:
    CharSink_8_to_16(CharEncoding const & input_encoding,
                     Transcoder<char, unsigned short> * transcoder,
                     Char16Encoding const & output_encoding, Char16Sink & target);
    CharSink_8_to_16(CharSink_8_to_16 const &) = delete;
    CharSink_8_to_16 & operator=(CharSink_8_to_16 const &) = delete;
    ~CharSink_8_to_16() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;

    void InsertInput(char const * begin, char const * end) override;
    void InsertOutput(unsigned short const * begin, unsigned short const * end) override;

protected:
    void PutBuffer(char const * begin, char const * end) override;

private:
    void Convert(char const * begin, char const * end, bool report);
    void FinishConversion();

    CharEncoding const * input_encoding_;
    Transcoder<char, unsigned short> * transcoder_;
    Char16Encoding const * output_encoding_;
    Char16Sink * target_;
};

class ZUUC_EXPORT CharSink_8_to_32 : public CharSink, public ProblemSolver_8_to_32 {
public:
    CharSink_8_to_32(CharEncoding const & input_encoding,
                     Transcoder<char, unsigned int> * transcoder,
                     Char32Encoding const & output_encoding, Char32Sink & target);
    CharSink_8_to_32(CharSink_8_to_32 const &) = delete;
    CharSink_8_to_32 & operator=(CharSink_8_to_32 const &) = delete;
    ~CharSink_8_to_32() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;

    void InsertInput(char const * begin, char const * end) override;
    void InsertOutput(unsigned int const * begin, unsigned int const * end) override;

protected:
    void PutBuffer(char const * begin, char const * end) override;

private:
    void Convert(char const * begin, char const * end, bool report);
    void FinishConversion();

    CharEncoding const * input_encoding_;
    Transcoder<char, unsigned int> * transcoder_;
    Char32Encoding const * output_encoding_;
    Char32Sink * target_;
};

class ZUUC_EXPORT CharSink_16_to_8 : public Char16Sink, public ProblemSolver_16_to_8 {
public:
    CharSink_16_to_8(Char16Encoding const & input_encoding,
                     Transcoder<unsigned short, char> * transcoder,
                     CharEncoding const & output_encoding, CharSink & target);
    CharSink_16_to_8(CharSink_16_to_8 const &) = delete;
    CharSink_16_to_8 & operator=(CharSink_16_to_8 const &) = delete;
    ~CharSink_16_to_8() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;

    void InsertInput(unsigned short const * begin, unsigned short const * end) override;
    void InsertOutput(char const * begin, char const * end) override;

protected:
    void PutBuffer(unsigned short const * begin, unsigned short const * end) override;

private:
    void Convert(unsigned short const * begin, unsigned short const * end, bool report);
    void FinishConversion();

    Char16Encoding const * input_encoding_;
    Transcoder<unsigned short, char> * transcoder_;
    CharEncoding const * output_encoding_;
    CharSink * target_;
};

class ZUUC_EXPORT CharSink_16_to_16 : public Char16Sink, public ProblemSolver_16_to_16 {
public:
    CharSink_16_to_16(Char16Encoding const & input_encoding,
                      Transcoder<unsigned short, unsigned short> * transcoder,
                      Char16Encoding const & output_encoding, Char16Sink & target);
    CharSink_16_to_16(CharSink_16_to_16 const &) = delete;
    CharSink_16_to_16 & operator=(CharSink_16_to_16 const &) = delete;
    ~CharSink_16_to_16() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;

    void InsertInput(unsigned short const * begin, unsigned short const * end) override;
    void InsertOutput(unsigned short const * begin, unsigned short const * end) override;

protected:
    void PutBuffer(unsigned short const * begin, unsigned short const * end) override;

private:
    void Convert(unsigned short const * begin, unsigned short const * end, bool report);
    void FinishConversion();

    Char16Encoding const * input_encoding_;
    Transcoder<unsigned short, unsigned short> * transcoder_;
    Char16Encoding const * output_encoding_;
    Char16Sink * target_;
};

class ZUUC_EXPORT CharSink_16_to_32 : public Char16Sink, public ProblemSolver_16_to_32 {
public:
    CharSink_16_to_32(Char16Encoding const & input_encoding,
                      Transcoder<unsigned short, unsigned int> * transcoder,
                      Char32Encoding const & output_encoding, Char32Sink & target);
    CharSink_16_to_32(CharSink_16_to_32 const &) = delete;
    CharSink_16_to_32 & operator=(CharSink_16_to_32 const &) = delete;
    ~CharSink_16_to_32() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;

    void InsertInput(unsigned short const * begin, unsigned short const * end) override;
    void InsertOutput(unsigned int const * begin, unsigned int const * end) override;

protected:
    void PutBuffer(unsigned short const * begin, unsigned short const * end) override;

private:
    void Convert(unsigned short const * begin, unsigned short const * end, bool report);
    void FinishConversion();

    Char16Encoding const * input_encoding_;
    Transcoder<unsigned short, unsigned int> * transcoder_;
    Char32Encoding const * output_encoding_;
    Char32Sink * target_;
};

class ZUUC_EXPORT CharSink_32_to_8 : public Char32Sink, public ProblemSolver_32_to_8 {
public:
    CharSink_32_to_8(Char32Encoding const & input_encoding,
                     Transcoder<unsigned int, char> * transcoder,
                     CharEncoding const & output_encoding, CharSink & target);
    CharSink_32_to_8(CharSink_32_to_8 const &) = delete;
    CharSink_32_to_8 & operator=(CharSink_32_to_8 const &) = delete;
    ~CharSink_32_to_8() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;

    void InsertInput(unsigned int const * begin, unsigned int const * end) override;
    void InsertOutput(char const * begin, char const * end) override;

protected:
    void PutBuffer(unsigned int const * begin, unsigned int const * end) override;

private:
    void Convert(unsigned int const * begin, unsigned int const * end, bool report);
    void FinishConversion();

    Char32Encoding const * input_encoding_;
    Transcoder<unsigned int, char> * transcoder_;
    CharEncoding const * output_encoding_;
    CharSink * target_;
};

class ZUUC_EXPORT CharSink_32_to_16 : public Char32Sink, public ProblemSolver_32_to_16 {
public:
    CharSink_32_to_16(Char32Encoding const & input_encoding,
                      Transcoder<unsigned int, unsigned short> * transcoder,
                      Char16Encoding const & output_encoding, Char16Sink & target);
    CharSink_32_to_16(CharSink_32_to_16 const &) = delete;
    CharSink_32_to_16 & operator=(CharSink_32_to_16 const &) = delete;
    ~CharSink_32_to_16() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;

    void InsertInput(unsigned int const * begin, unsigned int const * end) override;
    void InsertOutput(unsigned short const * begin, unsigned short const * end) override;

    // True once a character did not fit into the target: everything put
    // from then on is discarded.
    bool IsTruncated() const { return truncated_; }

protected:
    void PutBuffer(unsigned int const * begin, unsigned int const * end) override;

private:
    void Convert(unsigned int const * begin, unsigned int const * end, bool report);
    void FinishConversion();

    Char32Encoding const * input_encoding_;
    Transcoder<unsigned int, unsigned short> * transcoder_;
    Char16Encoding const * output_encoding_;
    Char16Sink * target_;
    bool truncated_;
};

class ZUUC_EXPORT CharSink_32_to_32 : public Char32Sink, public ProblemSolver_32_to_32 {
public:
    CharSink_32_to_32(Char32Encoding const & input_encoding,
                      Transcoder<unsigned int, unsigned int> * transcoder,
                      Char32Encoding const & output_encoding, Char32Sink & target);
    CharSink_32_to_32(CharSink_32_to_32 const &) = delete;
    CharSink_32_to_32 & operator=(CharSink_32_to_32 const &) = delete;
    ~CharSink_32_to_32() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;

    void InsertInput(unsigned int const * begin, unsigned int const * end) override;
    void InsertOutput(unsigned int const * begin, unsigned int const * end) override;

protected:
    void PutBuffer(unsigned int const * begin, unsigned int const * end) override;

private:
    void Convert(unsigned int const * begin, unsigned int const * end, bool report);
    void FinishConversion();

    Char32Encoding const * input_encoding_;
    Transcoder<unsigned int, unsigned int> * transcoder_;
    Char32Encoding const * output_encoding_;
    Char32Sink * target_;
};

#endif

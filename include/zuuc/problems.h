// Conversion problems and the problem solvers they talk to.
//
// When a converter meets input it cannot convert, the stream adapter that
// drives it describes the event in a problem object and hands it to its
// behaviour (zuuc/behavior.h). A problem carries the two encodings, the
// input block being converted (with the position just after the offending
// units) and the output block being filled. Through the problem the
// behaviour can insert units into the stream: InsertOutput puts units into
// the output at the point of the problem, unconverted; InsertInput makes
// units the next input to convert (problems in inserted input are not
// reported again, so a behaviour cannot loop on its own substitution).
//
// There is one problem class per conversion direction; the concrete kinds
// (illegal byte range, no character defined for a code point, character not
// in repertoire) derive from it and add nothing. Problems are plain values:
// they can be copied and assigned, and they own nothing. The pointers they
// carry are valid only while the handler that receives the problem runs.
//
// Problems raised while a converter finishes at end of input carry null
// input pointers.
#ifndef ZUUC_PROBLEMS_H
#define ZUUC_PROBLEMS_H

#include "zuuc/char_encoding.h"
#include "zuuc/export.h"

// ---------------------------------------------------------------------------
// Problem solvers
// ---------------------------------------------------------------------------
//
// Implemented by the stream adapters (the object that drives a converter).
// InsertInput receives units of the input width that are to be converted
// next, before any further input, without reporting problems in them.
// InsertOutput receives units of the output width that go into the output
// unconverted, at the point of the problem. A null `end` means the range is
// zero-terminated (a problem always passes a non-null end, but other callers
// may not). The solver copies what it needs: the range may be gone as soon
// as the call returns.

class ZUUC_EXPORT ProblemSolver_8_to_16 {
public:
    virtual void InsertInput(char const * begin, char const * end) = 0;
    virtual void InsertOutput(unsigned short const * begin, unsigned short const * end) = 0;
    virtual ~ProblemSolver_8_to_16();

protected:
    ProblemSolver_8_to_16() = default;
    ProblemSolver_8_to_16(ProblemSolver_8_to_16 const &) = default;
    ProblemSolver_8_to_16 & operator=(ProblemSolver_8_to_16 const &) = default;
};

class ZUUC_EXPORT ProblemSolver_8_to_32 {
public:
    virtual void InsertInput(char const * begin, char const * end) = 0;
    virtual void InsertOutput(unsigned int const * begin, unsigned int const * end) = 0;
    virtual ~ProblemSolver_8_to_32();

protected:
    ProblemSolver_8_to_32() = default;
    ProblemSolver_8_to_32(ProblemSolver_8_to_32 const &) = default;
    ProblemSolver_8_to_32 & operator=(ProblemSolver_8_to_32 const &) = default;
};

class ZUUC_EXPORT ProblemSolver_16_to_8 {
public:
    virtual void InsertInput(unsigned short const * begin, unsigned short const * end) = 0;
    virtual void InsertOutput(char const * begin, char const * end) = 0;
    virtual ~ProblemSolver_16_to_8();

protected:
    ProblemSolver_16_to_8() = default;
    ProblemSolver_16_to_8(ProblemSolver_16_to_8 const &) = default;
    ProblemSolver_16_to_8 & operator=(ProblemSolver_16_to_8 const &) = default;
};

class ZUUC_EXPORT ProblemSolver_16_to_16 {
public:
    virtual void InsertInput(unsigned short const * begin, unsigned short const * end) = 0;
    virtual void InsertOutput(unsigned short const * begin, unsigned short const * end) = 0;
    virtual ~ProblemSolver_16_to_16();

protected:
    ProblemSolver_16_to_16() = default;
    ProblemSolver_16_to_16(ProblemSolver_16_to_16 const &) = default;
    ProblemSolver_16_to_16 & operator=(ProblemSolver_16_to_16 const &) = default;
};

class ZUUC_EXPORT ProblemSolver_16_to_32 {
public:
    virtual void InsertInput(unsigned short const * begin, unsigned short const * end) = 0;
    virtual void InsertOutput(unsigned int const * begin, unsigned int const * end) = 0;
    virtual ~ProblemSolver_16_to_32();

protected:
    ProblemSolver_16_to_32() = default;
    ProblemSolver_16_to_32(ProblemSolver_16_to_32 const &) = default;
    ProblemSolver_16_to_32 & operator=(ProblemSolver_16_to_32 const &) = default;
};

class ZUUC_EXPORT ProblemSolver_32_to_8 {
public:
    virtual void InsertInput(unsigned int const * begin, unsigned int const * end) = 0;
    virtual void InsertOutput(char const * begin, char const * end) = 0;
    virtual ~ProblemSolver_32_to_8();

protected:
    ProblemSolver_32_to_8() = default;
    ProblemSolver_32_to_8(ProblemSolver_32_to_8 const &) = default;
    ProblemSolver_32_to_8 & operator=(ProblemSolver_32_to_8 const &) = default;
};

class ZUUC_EXPORT ProblemSolver_32_to_16 {
public:
    virtual void InsertInput(unsigned int const * begin, unsigned int const * end) = 0;
    virtual void InsertOutput(unsigned short const * begin, unsigned short const * end) = 0;
    virtual ~ProblemSolver_32_to_16();

protected:
    ProblemSolver_32_to_16() = default;
    ProblemSolver_32_to_16(ProblemSolver_32_to_16 const &) = default;
    ProblemSolver_32_to_16 & operator=(ProblemSolver_32_to_16 const &) = default;
};

class ZUUC_EXPORT ProblemSolver_32_to_32 {
public:
    virtual void InsertInput(unsigned int const * begin, unsigned int const * end) = 0;
    virtual void InsertOutput(unsigned int const * begin, unsigned int const * end) = 0;
    virtual ~ProblemSolver_32_to_32();

protected:
    ProblemSolver_32_to_32() = default;
    ProblemSolver_32_to_32(ProblemSolver_32_to_32 const &) = default;
    ProblemSolver_32_to_32 & operator=(ProblemSolver_32_to_32 const &) = default;
};

// ---------------------------------------------------------------------------
// Problems
// ---------------------------------------------------------------------------

// The common base of every problem; it holds nothing.
class ZUUC_EXPORT ConversionProblem {
public:
    ConversionProblem() = default;
    ConversionProblem(ConversionProblem const &) = default;
    ConversionProblem & operator=(ConversionProblem const &) = default;
    ~ConversionProblem() = default;
};

// What every direction's problem holds, for input units `In`, output units
// `Out`, the encoding classes of the two sides and the solver of the pair.
template <class In, class Out, class InEncoding, class OutEncoding, class Solver>
class BasicConversionProblem : public ConversionProblem {
public:
    typedef In InputUnit;
    typedef Out OutputUnit;

    BasicConversionProblem(InEncoding const & input_encoding, OutEncoding const & output_encoding,
                           Solver & solver, In const * input_start, In const * problem_ptr,
                           In const * input_end, Out const * output_start, Out const * output_end)
        : input_encoding_(&input_encoding),
          output_encoding_(&output_encoding),
          solver_(&solver),
          input_start_(input_start),
          problem_ptr_(problem_ptr),
          input_end_(input_end),
          output_start_(output_start),
          output_end_(output_end) {}

    // The encoding being decoded and the encoding being produced.
    InEncoding const & InputEncoding() const { return *input_encoding_; }
    OutEncoding const & OutputEncoding() const { return *output_encoding_; }
    // The input block being converted; ProblemPtr is the position just after
    // the offending units. All three are null for a problem met at the end
    // of input.
    In const * InputStart() const { return input_start_; }
    In const * ProblemPtr() const { return problem_ptr_; }
    In const * InputEnd() const { return input_end_; }
    // The output block being filled, up to the point of the problem.
    Out const * OutputStart() const { return output_start_; }
    Out const * OutputEnd() const { return output_end_; }

    // Makes [begin, end) the next input to convert; problems in it are not
    // reported. A null end means zero-terminated; a null begin inserts
    // nothing.
    void InsertInput(In const * begin, In const * end) const {
        if (begin == nullptr) {
            return;
        }
        solver_->InsertInput(begin, end != nullptr ? end : TerminatedEnd(begin));
    }

    // Puts [begin, end) into the output at the point of the problem,
    // unconverted. A null end means zero-terminated; a null begin inserts
    // nothing.
    void InsertOutput(Out const * begin, Out const * end) const {
        if (begin == nullptr) {
            return;
        }
        solver_->InsertOutput(begin, end != nullptr ? end : TerminatedEnd(begin));
    }

private:
    template <class Unit>
    static Unit const * TerminatedEnd(Unit const * p) {
        while (*p != 0) {
            ++p;
        }
        return p;
    }

    // Pointers rather than references, so that problems stay assignable.
    InEncoding const * input_encoding_;
    OutEncoding const * output_encoding_;
    Solver * solver_;
    In const * input_start_;
    In const * problem_ptr_;
    In const * input_end_;
    Out const * output_start_;
    Out const * output_end_;
};

// The from-Unicode directions also carry the converter's shift state (its
// Mode(); 0 for stateless converters), which selects the substitute bytes.
template <class In, class Out, class InEncoding, class OutEncoding, class Solver>
class BasicModalConversionProblem
    : public BasicConversionProblem<In, Out, InEncoding, OutEncoding, Solver> {
public:
    BasicModalConversionProblem(InEncoding const & input_encoding,
                                OutEncoding const & output_encoding, Solver & solver,
                                In const * input_start, In const * problem_ptr,
                                In const * input_end, Out const * output_start,
                                Out const * output_end, unsigned int mode)
        : BasicConversionProblem<In, Out, InEncoding, OutEncoding, Solver>(
              input_encoding, output_encoding, solver, input_start, problem_ptr, input_end,
              output_start, output_end),
          mode_(mode) {}

    unsigned int Mode() const { return mode_; }

private:
    unsigned int mode_;
};

// --- the six directions -----------------------------------------------------

// Bytes to UTF-16.
class ZUUC_EXPORT CharToChar16ConversionProblem
    : public BasicConversionProblem<char, unsigned short, CharEncoding, Char16Encoding,
                                    ProblemSolver_8_to_16> {
public:
    using BasicConversionProblem::BasicConversionProblem;
};

// Bytes to UTF-32.
class ZUUC_EXPORT CharToChar32ConversionProblem
    : public BasicConversionProblem<char, unsigned int, CharEncoding, Char32Encoding,
                                    ProblemSolver_8_to_32> {
public:
    using BasicConversionProblem::BasicConversionProblem;
};

// 16-bit units to UTF-32.
class ZUUC_EXPORT Char16ToChar32ConversionProblem
    : public BasicConversionProblem<unsigned short, unsigned int, Char16Encoding, Char32Encoding,
                                    ProblemSolver_16_to_32> {
public:
    using BasicConversionProblem::BasicConversionProblem;
};

// UTF-16 to bytes.
class ZUUC_EXPORT Char16ToCharConversionProblem
    : public BasicModalConversionProblem<unsigned short, char, Char16Encoding, CharEncoding,
                                         ProblemSolver_16_to_8> {
public:
    using BasicModalConversionProblem::BasicModalConversionProblem;
};

// UTF-32 to bytes.
class ZUUC_EXPORT Char32ToCharConversionProblem
    : public BasicModalConversionProblem<unsigned int, char, Char32Encoding, CharEncoding,
                                         ProblemSolver_32_to_8> {
public:
    using BasicModalConversionProblem::BasicModalConversionProblem;
};

// UTF-32 to 16-bit units.
class ZUUC_EXPORT Char32ToChar16ConversionProblem
    : public BasicModalConversionProblem<unsigned int, unsigned short, Char32Encoding,
                                         Char16Encoding, ProblemSolver_32_to_16> {
public:
    using BasicModalConversionProblem::BasicModalConversionProblem;
};

// --- the concrete kinds -------------------------------------------------------
//
// Illegal byte range: malformed input (transcoder result 3).
// No character defined for code point: well-formed input without a Unicode
// mapping (result 4).
// Character not in repertoire: a Unicode character that the output encoding
// cannot represent (result 5).

class ZUUC_EXPORT CharToChar16IllegalByteRange : public CharToChar16ConversionProblem {
public:
    using CharToChar16ConversionProblem::CharToChar16ConversionProblem;
};

class ZUUC_EXPORT CharToChar16NoCharacterDefinedForCodepoint
    : public CharToChar16ConversionProblem {
public:
    using CharToChar16ConversionProblem::CharToChar16ConversionProblem;
};

class ZUUC_EXPORT CharToChar32IllegalByteRange : public CharToChar32ConversionProblem {
public:
    using CharToChar32ConversionProblem::CharToChar32ConversionProblem;
};

class ZUUC_EXPORT CharToChar32NoCharacterDefinedForCodepoint
    : public CharToChar32ConversionProblem {
public:
    using CharToChar32ConversionProblem::CharToChar32ConversionProblem;
};

class ZUUC_EXPORT Char16ToChar32IllegalByteRange : public Char16ToChar32ConversionProblem {
public:
    using Char16ToChar32ConversionProblem::Char16ToChar32ConversionProblem;
};

class ZUUC_EXPORT Char16ToChar32NoCharacterDefinedForCodepoint
    : public Char16ToChar32ConversionProblem {
public:
    using Char16ToChar32ConversionProblem::Char16ToChar32ConversionProblem;
};

class ZUUC_EXPORT Char16ToCharCharacterNotInRepertoire : public Char16ToCharConversionProblem {
public:
    using Char16ToCharConversionProblem::Char16ToCharConversionProblem;
};

class ZUUC_EXPORT Char32ToCharCharacterNotInRepertoire : public Char32ToCharConversionProblem {
public:
    using Char32ToCharConversionProblem::Char32ToCharConversionProblem;
};

class ZUUC_EXPORT Char32ToChar16CharacterNotInRepertoire : public Char32ToChar16ConversionProblem {
public:
    using Char32ToChar16ConversionProblem::Char32ToChar16ConversionProblem;
};

#endif

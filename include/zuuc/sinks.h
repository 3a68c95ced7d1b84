// Character sinks: the library's model of output.
//
// A producer pushes ranges of code units into a sink with Put; the sink
// writes them with one PutBuffer call per range.
//
//   CharSink     8-bit units (bytes of some external encoding)
//   Char16Sink   16-bit units (UTF-16)
//   Char32Sink   32-bit units (UTF-32)
//
// Sinks report no errors: a fixed buffer that overflows keeps what fit and
// remembers that it was truncated; the results of file writes are ignored.
// A sink never owns the sink it writes into unless said so. A sink is used
// by one thread at a time.
#ifndef ZUUC_SINKS_H
#define ZUUC_SINKS_H

#include <cstdarg>
#include <cstddef>
#include <cstdio>

#include "zuuc/export.h"
#include "zuuc/foundation.h"
#include "zuuc/sources.h"
#include "zuuc/strings.h"

// ===========================================================================
// The three sink families
// ===========================================================================

class ZUUC_EXPORT CharSink : public UnicodeLibActor {
public:
    // --- Virtual operations, in slot order ---------------------------------
    ~CharSink() override;
    // (slot 1, SetBehavior, comes from UnicodeLibActor)

    // Passes anything held back on to the final destination.
    virtual void Flush() = 0;
    // How many more units the sink can take; -1 (the base) means no limit.
    virtual long RemainingCapacity() const;
    // A producer could not write a whole character: the sink should take
    // nothing more. The base ignores it.
    virtual void MarkAsTruncated();

    // --- Writing ---------------------------------------------------------------
    // Writes [begin, end). A null `end` means the text is zero-terminated
    // (the terminator is not written). A null `begin` writes nothing.
    void Put(char const * begin, char const * end);
    void Put(unsigned char const * begin, unsigned char const * end);
    // Drains `source`: each of its windows is written whole and reported
    // consumed. Does not flush.
    void Put(CharSource & source);

protected:
    // The library's default behaviour.
    CharSink();
    CharSink(CharSink const & other);
    // The behaviour of the actor being wrapped (the default for a null one).
    explicit CharSink(UnicodeLibActor const & actor);
    explicit CharSink(UnicodeLibActor const * actor);
    CharSink & operator=(CharSink const & other);

    // Writes the non-empty range [begin, end).
    virtual void PutBuffer(char const * begin, char const * end) = 0;
};

class ZUUC_EXPORT Char16Sink : public UnicodeLibActor {
public:
    // --- Virtual operations, in slot order ---------------------------------
    ~Char16Sink() override;
    // (SetBehavior from UnicodeLibActor)
    virtual void Flush() = 0;
    virtual long RemainingCapacity() const;

    // --- Writing (as for CharSink) ---------------------------------------------
    void Put(unsigned short const * begin, unsigned short const * end);
    void Put(Char16Source & source);
    // Drains a UTF-32 source, converted to UTF-16 on the way (a supplementary
    // character becomes a surrogate pair). Does not flush.
    void Put(Char32Source & source);

    // Formatted output into the sink, as zu_swprintf_16 formats (see
    // zuuc/wide_format.h); returns the number of units formatted, or -1.
    int printf(unsigned short const * format, ...);
    int vprintf(unsigned short const * format, va_list args);

protected:
    Char16Sink();
    Char16Sink(Char16Sink const & other);
    explicit Char16Sink(UnicodeLibActor const & actor);
    explicit Char16Sink(UnicodeLibActor const * actor);
    Char16Sink & operator=(Char16Sink const & other);

    virtual void PutBuffer(unsigned short const * begin, unsigned short const * end) = 0;
};

class ZUUC_EXPORT Char32Sink : public UnicodeLibActor {
public:
    // --- Virtual operations, in slot order ---------------------------------
    ~Char32Sink() override;
    // (SetBehavior from UnicodeLibActor)
    virtual void Flush() = 0;
    virtual long RemainingCapacity() const;

    // --- Writing (as for CharSink) ---------------------------------------------
    void Put(unsigned int const * begin, unsigned int const * end);
    void Put(Char32Source & source);

    // Formatted output into the sink, as zu_swprintf_32 formats.
    int printf(unsigned int const * format, ...);
    int vprintf(unsigned int const * format, va_list args);

protected:
    Char32Sink();
    Char32Sink(Char32Sink const & other);
    explicit Char32Sink(UnicodeLibActor const & actor);
    explicit Char32Sink(UnicodeLibActor const * actor);
    Char32Sink & operator=(Char32Sink const & other);

    virtual void PutBuffer(unsigned int const * begin, unsigned int const * end) = 0;
};

// ===========================================================================
// Sinks into a caller's fixed buffer
// ===========================================================================
//
// The capacity is counted in units; a capacity of zero or below (or a null
// buffer) gives a sink with no room. While there is room after the text, the
// text is kept zero-terminated (the terminator is not counted in size());
// when the buffer is exactly full the text has no terminator. A range that
// does not fit is cut at the capacity and the sink becomes truncated; a
// truncated sink discards everything written to it later, even when room is
// left (MarkAsTruncated can truncate a sink before it is full). Copies write
// into the same caller buffer.

class ZUUC_EXPORT BufferCharSink : public CharSink {
public:
    BufferCharSink(char * buffer, long capacity);
    BufferCharSink(unsigned char * buffer, long capacity);
    BufferCharSink(BufferCharSink const & other);
    BufferCharSink & operator=(BufferCharSink const & other);
    ~BufferCharSink() override;

    void Flush() override;                    // nothing to do
    long RemainingCapacity() const override;  // units left before the limit
    void MarkAsTruncated() override;

    char const * data() const { return start_; }
    unsigned char const * unsigned_data() const;
    // Units written.
    long size() const { return static_cast<long>(current_ - start_); }
    // Terminates the text when there is room for the terminator; returns the start.
    char const * c_str() const;
    unsigned char const * unsigned_c_str() const;
    bool IsTruncated() const { return truncated_; }

protected:
    void PutBuffer(char const * begin, char const * end) override;

private:
    char * start_;
    char * current_;
    char * limit_;
    bool truncated_;
};

class ZUUC_EXPORT BufferChar16Sink : public Char16Sink {
public:
    BufferChar16Sink(unsigned short * buffer, long capacity);
    BufferChar16Sink(BufferChar16Sink const & other);
    BufferChar16Sink & operator=(BufferChar16Sink const & other);
    ~BufferChar16Sink() override;

    void Flush() override;
    long RemainingCapacity() const override;
    void MarkAsTruncated() { truncated_ = true; }

    unsigned short const * data() const { return start_; }
    long size() const { return static_cast<long>(current_ - start_); }
    unsigned short const * c_str() const;
    bool IsTruncated() const { return truncated_; }

protected:
    void PutBuffer(unsigned short const * begin, unsigned short const * end) override;

private:
    unsigned short * start_;
    unsigned short * current_;
    unsigned short * limit_;
    bool truncated_;
};

class ZUUC_EXPORT BufferChar32Sink : public Char32Sink {
public:
    BufferChar32Sink(unsigned int * buffer, long capacity);
    BufferChar32Sink(BufferChar32Sink const & other);
    BufferChar32Sink & operator=(BufferChar32Sink const & other);
    ~BufferChar32Sink() override;

    void Flush() override;
    long RemainingCapacity() const override;
    void MarkAsTruncated() { truncated_ = true; }

    unsigned int const * data() const { return start_; }
    long size() const { return static_cast<long>(current_ - start_); }
    unsigned int const * c_str() const;
    bool IsTruncated() const { return truncated_; }

protected:
    void PutBuffer(unsigned int const * begin, unsigned int const * end) override;

private:
    unsigned int * start_;
    unsigned int * current_;
    unsigned int * limit_;
    bool truncated_;
};

// ===========================================================================
// Sinks into an owned growing string
// ===========================================================================

class ZUUC_EXPORT StringCharSink : public CharSink {
public:
    StringCharSink();
    StringCharSink(StringCharSink const & other);
    StringCharSink & operator=(StringCharSink const & other);
    ~StringCharSink() override;

    void Flush() override;  // nothing to do

    zu_string const & str() const { return text_; }
    char const * c_str() const { return text_.c_str(); }
    char const * data() const { return text_.data(); }
    unsigned char const * unsigned_c_str() const;
    unsigned char const * unsigned_data() const;
    unsigned size() const { return text_.size(); }

protected:
    void PutBuffer(char const * begin, char const * end) override;

private:
    zu_string text_;
};

class ZUUC_EXPORT StringChar16Sink : public Char16Sink {
public:
    StringChar16Sink();
    StringChar16Sink(StringChar16Sink const & other);
    StringChar16Sink & operator=(StringChar16Sink const & other);
    ~StringChar16Sink() override;

    void Flush() override;

    zu_wstring const & str() const { return text_; }
    unsigned short const * c_str() const { return text_.c_str(); }
    unsigned short const * data() const { return text_.data(); }
    unsigned size() const { return text_.size(); }

protected:
    void PutBuffer(unsigned short const * begin, unsigned short const * end) override;

private:
    zu_wstring text_;
};

class ZUUC_EXPORT StringChar32Sink : public Char32Sink {
public:
    StringChar32Sink();
    StringChar32Sink(StringChar32Sink const & other);
    StringChar32Sink & operator=(StringChar32Sink const & other);
    ~StringChar32Sink() override;

    void Flush() override;

    zu_utf32_string const & str() const { return text_; }
    unsigned int const * c_str() const { return text_.c_str(); }
    unsigned int const * data() const { return text_.data(); }
    unsigned size() const { return text_.size(); }

protected:
    void PutBuffer(unsigned int const * begin, unsigned int const * end) override;

private:
    zu_utf32_string text_;
};

// ===========================================================================
// Sinks into a stdio file
// ===========================================================================
//
// They never open or close the file; a null file discards what is written.

// Writes bytes through functions with the signatures of fwrite and fflush:
// write(begin, 1, end - begin, file) and flush(file). Null functions select
// the C library's fwrite and fflush.
class ZUUC_EXPORT FileCharSink : public CharSink {
public:
    typedef std::size_t (*WriteFunction)(void const * data, std::size_t size, std::size_t count,
                                         std::FILE * file);
    typedef int (*FlushFunction)(std::FILE * file);

    FileCharSink(std::FILE * file, WriteFunction write, FlushFunction flush);
    FileCharSink(FileCharSink const & other);
    FileCharSink & operator=(FileCharSink const & other);
    ~FileCharSink() override;

    void Flush() override;

protected:
    void PutBuffer(char const * begin, char const * end) override;

private:
    std::FILE * file_;
    WriteFunction write_;
    FlushFunction flush_;
};

// Writes 16-bit units with fwrite in the machine's own byte order, without a
// byte-order mark.
class ZUUC_EXPORT FileChar16Sink : public Char16Sink {
public:
    explicit FileChar16Sink(std::FILE * file);
    FileChar16Sink(FileChar16Sink const & other);
    FileChar16Sink & operator=(FileChar16Sink const & other);
    ~FileChar16Sink() override;

    void Flush() override;

protected:
    void PutBuffer(unsigned short const * begin, unsigned short const * end) override;

private:
    std::FILE * file_;
};

// Writes 32-bit units with fwrite in the machine's own byte order, without a
// byte-order mark.
class ZUUC_EXPORT FileChar32Sink : public Char32Sink {
public:
    explicit FileChar32Sink(std::FILE * file);
    FileChar32Sink(FileChar32Sink const & other);
    FileChar32Sink & operator=(FileChar32Sink const & other);
    ~FileChar32Sink() override;

    void Flush() override;

protected:
    void PutBuffer(unsigned int const * begin, unsigned int const * end) override;

private:
    std::FILE * file_;
};

// ===========================================================================
// Proxy sinks
// ===========================================================================
//
// A proxy writes everything into its target sink (not owned), flushes it and
// reports its capacity. MarkAsTruncated is passed on to the target too, so a
// producer that stops at a character that does not fit stops the final
// buffer behind any number of proxies. Without a target a proxy discards
// what it is given and reports no room (0).
//
// SetBehavior passes the behaviour to the target first, then sets the
// proxy's own. The proxy takes the target's behaviour when it is built or
// given a new target.

class ZUUC_EXPORT CharProxySink : public CharSink {
public:
    explicit CharProxySink(CharSink * target);
    CharProxySink(CharProxySink const & other);
    CharProxySink & operator=(CharProxySink const & other);
    ~CharProxySink() override;  // does not delete the target

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;
    long RemainingCapacity() const override;
    void MarkAsTruncated() override;

protected:
    void PutBuffer(char const * begin, char const * end) override;

    // Writes into `target` from now on and takes its behaviour (when not null).
    void SetProxy(CharSink * target);
    CharSink * GetProxy() const { return target_; }

private:
    CharSink * target_;
};

class ZUUC_EXPORT Char16ProxySink : public Char16Sink {
public:
    explicit Char16ProxySink(Char16Sink * target);
    Char16ProxySink(Char16ProxySink const & other);
    Char16ProxySink & operator=(Char16ProxySink const & other);
    ~Char16ProxySink() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;
    long RemainingCapacity() const override;

protected:
    void PutBuffer(unsigned short const * begin, unsigned short const * end) override;
    void SetProxy(Char16Sink * target);
    Char16Sink * GetProxy() const { return target_; }

private:
    Char16Sink * target_;
};

class ZUUC_EXPORT Char32ProxySink : public Char32Sink {
public:
    explicit Char32ProxySink(Char32Sink * target);
    Char32ProxySink(Char32ProxySink const & other);
    Char32ProxySink & operator=(Char32ProxySink const & other);
    ~Char32ProxySink() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    void Flush() override;
    long RemainingCapacity() const override;

protected:
    void PutBuffer(unsigned int const * begin, unsigned int const * end) override;
    void SetProxy(Char32Sink * target);
    Char32Sink * GetProxy() const { return target_; }

private:
    Char32Sink * target_;
};

#endif

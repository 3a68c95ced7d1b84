// Character sources: the library's model of input.
//
// A source hands out its code units in windows. A consumer asks for the
// current window with GetBuffer, takes as many units as it wants and reports
// how far it got with DoneWith; what it left is offered again by the next
// GetBuffer. When the window is used up the source refills it (FillBuffer).
//
//   CharSource     8-bit units (bytes of some external encoding)
//   Char16Source   16-bit units (UTF-16)
//   Char32Source   32-bit units (UTF-32)
//
// A consumer must not keep pointers into a window across a GetBuffer that
// refilled it: the memory of the previous window may be reused (the file
// source reads every block into the same buffer).
//
// Sources never own what they read unless said so: a wrapped buffer or source
// must outlive its wrapper. A source is used by one thread at a time.
#ifndef ZUUC_SOURCES_H
#define ZUUC_SOURCES_H

#include <cstddef>
#include <cstdio>

#include "zuuc/export.h"
#include "zuuc/foundation.h"
#include "zuuc/strings.h"

// ===========================================================================
// The three source families
// ===========================================================================

// Source of 8-bit units. The window is kept as `char`; the unsigned char
// overloads read the same window.
class ZUUC_EXPORT CharSource : public UnicodeLibActor {
public:
    // --- Virtual operations, in slot order ---------------------------------
    // (slot 1, SetBehavior, comes from UnicodeLibActor; slot 2 is FillBuffer)
    ~CharSource() override;

    // --- Reading -------------------------------------------------------------
    // Stores the current window in [begin, end) and returns true; an empty
    // window is refilled first. At end of input returns false and leaves
    // begin and end untouched. A true result always comes with a non-empty
    // window.
    bool GetBuffer(char const *& begin, char const *& end);
    bool GetBuffer(unsigned char const *& begin, unsigned char const *& end);

    // Everything before `p` has been consumed. `p` must lie within the window
    // last returned (its end included). A null `p` changes nothing.
    void DoneWith(char const * p);
    void DoneWith(unsigned char const * p);
    void DoneWith(std::nullptr_t) {}

protected:
    // The library's default behaviour; empty window.
    CharSource();
    // The behaviour of `other`; the window starts empty.
    CharSource(CharSource const & other);
    // The behaviour of the actor being wrapped (the default for a null one).
    explicit CharSource(UnicodeLibActor const & actor);
    explicit CharSource(UnicodeLibActor const * actor);
    // Copies the behaviour and both window pointers.
    CharSource & operator=(CharSource const & other);

    // Sets a new window and returns true, or returns false at end of input.
    virtual bool FillBuffer() = 0;

    // Sets the window to [begin, end).
    void SetWindow(char const * begin, char const * end) {
        position_ = begin;
        end_ = end;
    }

    // The window: first unit not yet consumed, and one past the last unit.
    // Both are null until the first refill; empty when position_ >= end_.
    char const * position_;
    char const * end_;
};

// Source of 16-bit units.
class ZUUC_EXPORT Char16Source : public UnicodeLibActor {
public:
    // --- Virtual operations, in slot order ---------------------------------
    ~Char16Source() override;
    // (SetBehavior from UnicodeLibActor)

    // Sources whose output units do not correspond one to one to their input
    // keep an offset map: for each unit of the current window, the offset of
    // the input unit it came from. The base has none: it sets `map` to null
    // and `count` to 0 and returns false.
    virtual bool GetOffsetMap(unsigned int *& map, unsigned int & count);
    // The input offset of output offset `offset`; the base returns `offset`.
    virtual unsigned int GetOffsetAt(unsigned int offset);

    // --- Reading (as for CharSource) -----------------------------------------
    bool GetBuffer(unsigned short const *& begin, unsigned short const *& end);
    void DoneWith(unsigned short const * p);

protected:
    Char16Source();
    Char16Source(Char16Source const & other);
    explicit Char16Source(UnicodeLibActor const & actor);
    explicit Char16Source(UnicodeLibActor const * actor);
    Char16Source & operator=(Char16Source const & other);

    virtual bool FillBuffer() = 0;

    void SetWindow(unsigned short const * begin, unsigned short const * end) {
        position_ = begin;
        end_ = end;
    }

    unsigned short const * position_;
    unsigned short const * end_;
};

// Source of 32-bit units.
class ZUUC_EXPORT Char32Source : public UnicodeLibActor {
public:
    // --- Virtual operations, in slot order ---------------------------------
    ~Char32Source() override;
    // (SetBehavior from UnicodeLibActor)
    virtual bool GetOffsetMap(unsigned int *& map, unsigned int & count);
    virtual unsigned int GetOffsetAt(unsigned int offset);

    // --- Reading (as for CharSource) -----------------------------------------
    bool GetBuffer(unsigned int const *& begin, unsigned int const *& end);
    void DoneWith(unsigned int const * p);

protected:
    Char32Source();
    Char32Source(Char32Source const & other);
    explicit Char32Source(UnicodeLibActor const & actor);
    explicit Char32Source(UnicodeLibActor const * actor);
    Char32Source & operator=(Char32Source const & other);

    virtual bool FillBuffer() = 0;

    void SetWindow(unsigned int const * begin, unsigned int const * end) {
        position_ = begin;
        end_ = end;
    }

    unsigned int const * position_;
    unsigned int const * end_;
};

// ===========================================================================
// Sources over a caller's buffer
// ===========================================================================
//
// The one window is [begin, end) of the caller's buffer, which must outlive
// the source. A null `end` with a non-null `begin` means a zero-terminated
// text (the terminator is not part of the input); both null give an empty
// source. A copy continues from the position of the source it was copied
// from.

class ZUUC_EXPORT BufferCharSource : public CharSource {
public:
    BufferCharSource(char const * begin, char const * end);
    BufferCharSource(unsigned char const * begin, unsigned char const * end);
    // An empty source (the two pointer forms would be ambiguous here).
    BufferCharSource(std::nullptr_t, std::nullptr_t)
        : BufferCharSource(static_cast<char const *>(nullptr), nullptr) {}
    BufferCharSource(BufferCharSource const & other);
    BufferCharSource & operator=(BufferCharSource const & other);
    ~BufferCharSource() override;

protected:
    bool FillBuffer() override;  // false: the one window is all there is
};

class ZUUC_EXPORT BufferChar16Source : public Char16Source {
public:
    BufferChar16Source(unsigned short const * begin, unsigned short const * end);
    BufferChar16Source(BufferChar16Source const & other);
    BufferChar16Source & operator=(BufferChar16Source const & other);
    ~BufferChar16Source() override;

protected:
    bool FillBuffer() override;
};

class ZUUC_EXPORT BufferChar32Source : public Char32Source {
public:
    BufferChar32Source(unsigned int const * begin, unsigned int const * end);
    BufferChar32Source(BufferChar32Source const & other);
    BufferChar32Source & operator=(BufferChar32Source const & other);
    ~BufferChar32Source() override;

protected:
    bool FillBuffer() override;
};

// ===========================================================================
// Sources over an owned copy of the text
// ===========================================================================
//
// The text is copied into a string that the source owns (a null `end` means
// zero-terminated, as for the buffer sources); the window is the whole copy.
// A copy of a string source holds only the unconsumed rest of the other.

class ZUUC_EXPORT StringCharSource : public CharSource {
public:
    explicit StringCharSource(zu_string const & text);
    StringCharSource(char const * begin, char const * end);
    StringCharSource(unsigned char const * begin, unsigned char const * end);
    StringCharSource(std::nullptr_t, std::nullptr_t)
        : StringCharSource(static_cast<char const *>(nullptr), nullptr) {}
    StringCharSource(StringCharSource const & other);
    StringCharSource & operator=(StringCharSource const & other);
    ~StringCharSource() override;

protected:
    bool FillBuffer() override;  // false

private:
    zu_string text_;
};

class ZUUC_EXPORT StringChar16Source : public Char16Source {
public:
    explicit StringChar16Source(zu_wstring const & text);
    StringChar16Source(unsigned short const * begin, unsigned short const * end);
    StringChar16Source(StringChar16Source const & other);
    StringChar16Source & operator=(StringChar16Source const & other);
    ~StringChar16Source() override;

protected:
    bool FillBuffer() override;

private:
    zu_wstring text_;
};

class ZUUC_EXPORT StringChar32Source : public Char32Source {
public:
    explicit StringChar32Source(zu_utf32_string const & text);
    StringChar32Source(unsigned int const * begin, unsigned int const * end);
    StringChar32Source(StringChar32Source const & other);
    StringChar32Source & operator=(StringChar32Source const & other);
    ~StringChar32Source() override;

protected:
    bool FillBuffer() override;

private:
    zu_utf32_string text_;
};

// ===========================================================================
// Source over a stdio file
// ===========================================================================

// Reads the file in blocks of 1024 bytes through a function with the
// signature of fread: each refill calls read(buffer, 1, 1024, file) and the
// window is the bytes it returned. A short read is a normal window; only a
// count of zero ends the input, and every later GetBuffer asks the read
// function again (a file that grew is read on). The source never opens,
// seeks or closes the file. A null read function selects the C library's
// fread; a null file is an empty source.
//
// Not copyable: two sources sharing one file position would each lose what
// the other read.
class ZUUC_EXPORT FileCharSource : public CharSource {
public:
    typedef std::size_t (*ReadFunction)(void * buffer, std::size_t size, std::size_t count,
                                        std::FILE * file);

    FileCharSource(std::FILE * file, ReadFunction read);
    FileCharSource(FileCharSource const &) = delete;
    FileCharSource & operator=(FileCharSource const &) = delete;
    ~FileCharSource() override;

protected:
    bool FillBuffer() override;

private:
    std::FILE * file_;
    ReadFunction read_;
    zu_buffer<char, 1024> buffer_;
};

// ===========================================================================
// Proxy sources
// ===========================================================================
//
// A proxy offers the windows of another source (the proxied source, not
// owned; it may be null). Consumption is passed down lazily: when the proxy
// refills, it first tells the proxied source how far its consumer got
// (DoneWith), then takes the proxied source's next window as its own. So the
// proxied source learns what was used one window late, and only when the
// proxy refills.
//
// Once the proxied source reports end of input the proxy is exhausted: it
// reports end of input from then on without asking again. A proxy without a
// proxied source is at end of input.
//
// SetBehavior passes the behaviour to the proxied source first, then sets
// the proxy's own. The proxy takes the proxied source's behaviour when it is
// built or given a new source.

class ZUUC_EXPORT CharProxySource : public CharSource {
public:
    explicit CharProxySource(CharSource * source);
    // Copies behaviour, window, proxied source and exhausted flag.
    CharProxySource(CharProxySource const & other);
    CharProxySource & operator=(CharProxySource const & other);
    ~CharProxySource() override;  // does not delete the proxied source

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

protected:
    bool FillBuffer() override;

    // Proxies `source` from now on and takes its behaviour (when not null).
    // The window taken from the previous source (if any) is dropped without
    // being reported to it, and the exhausted flag is cleared, so the new
    // source is read from its own current position.
    void SetProxy(CharSource * source);
    CharSource * GetProxy() const { return source_; }

private:
    CharSource * source_;
    bool exhausted_;
};

class ZUUC_EXPORT Char16ProxySource : public Char16Source {
public:
    explicit Char16ProxySource(Char16Source * source);
    Char16ProxySource(Char16ProxySource const & other);
    Char16ProxySource & operator=(Char16ProxySource const & other);
    ~Char16ProxySource() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

protected:
    bool FillBuffer() override;
    void SetProxy(Char16Source * source);
    Char16Source * GetProxy() const { return source_; }

private:
    Char16Source * source_;
    bool exhausted_;
};

class ZUUC_EXPORT Char32ProxySource : public Char32Source {
public:
    explicit Char32ProxySource(Char32Source * source);
    Char32ProxySource(Char32ProxySource const & other);
    Char32ProxySource & operator=(Char32ProxySource const & other);
    ~Char32ProxySource() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

protected:
    bool FillBuffer() override;
    void SetProxy(Char32Source * source);
    Char32Source * GetProxy() const { return source_; }

private:
    Char32Source * source_;
    bool exhausted_;
};

// ===========================================================================
// stdio-style reading
// ===========================================================================
//
// Small adapters (not actors) that read a source unit by unit or line by
// line, with one unit of push-back. They hold a reference to the source,
// which must outlive them.
//
// fgetc / getc_   the pushed-back unit if there is one, else the next unit of
//                 the source as a non-negative value; -1 at end of input.
// ungetc(c)       pushes c back, as a unit of the source's width (c is cut
//                 to 8, 16 or 32 bits as a C ungetc does), and returns the
//                 stored value; returns -1 and stores nothing when a unit is
//                 already pushed back or c is negative (-1 is end of input).
// fgets(buf, n)   reads one line into buf, the line feed (10) included,
//                 storing at most n - 1 units and a terminating 0. Returns
//                 null (storing nothing) when n < 2, else buf, or null when
//                 the input had ended and nothing was stored. Units after the
//                 line feed or the limit stay in the source.
// gets(buf, n)    reads one line into buf without its line feed (which is
//                 consumed), storing at most n - 1 units and a terminating 0.
//                 An empty line gives an empty string (buf). At end of input
//                 with nothing stored, returns null; n == 0 or n < -1 returns
//                 null. n == -1 means NO LIMIT: gets then stores the whole
//                 line however long it is, and the caller's buffer must be
//                 large enough to hold the longest line the source can hold
//                 plus the terminator. Pass a real limit unless that is known.
// feof_()         0 while a unit is pushed back; otherwise 1 when the source
//                 has no more units, else 0. May make the source refill its
//                 window but consumes nothing.

class ZUUC_EXPORT StdioSource {
public:
    explicit StdioSource(CharSource & source);

    int fgetc();
    int getc_();
    int ungetc(int c);
    char * fgets(char * buf, int n);
    char * gets(char * buf, int n);
    int feof_();

private:
    CharSource & source_;
    int pushed_back_;  // -1 when empty
};

class ZUUC_EXPORT Stdio16Source {
public:
    explicit Stdio16Source(Char16Source & source);

    long fgetc();
    long getc_();
    long ungetc(long c);
    unsigned short * fgets(unsigned short * buf, int n);
    unsigned short * gets(unsigned short * buf, int n);
    int feof_();

private:
    Char16Source & source_;
    long pushed_back_;  // -1 when empty
};

class ZUUC_EXPORT Stdio32Source {
public:
    explicit Stdio32Source(Char32Source & source);

    long fgetc();
    long getc_();
    long ungetc(long c);
    unsigned int * fgets(unsigned int * buf, int n);
    unsigned int * gets(unsigned int * buf, int n);
    int feof_();

private:
    Char32Source & source_;
    long pushed_back_;  // -1 when empty
};

#endif

// Test doubles for the behaviour and problem tests: problem solvers that
// record what is inserted, and unregistered encodings to hang problems on.
#ifndef ZUUC_TESTS_SUPPORT_BEHAVIOUR_FAKES_H
#define ZUUC_TESTS_SUPPORT_BEHAVIOUR_FAKES_H

#include <string>
#include <vector>

#include "support/test_encodings.h"
#include "zuuc/problems.h"

namespace zuuc_test {

// Records every insertion: input replaces what was inserted before (as a
// stream adapter's pending input does), output accumulates.
template <class Solver, class In, class Out>
class RecordingSolver : public Solver {
public:
    void InsertInput(In const * begin, In const * end) override {
        ++input_calls;
        input.assign(begin, end);
    }
    void InsertOutput(Out const * begin, Out const * end) override {
        ++output_calls;
        output.insert(output.end(), begin, end);
    }
    void Clear() {
        input.clear();
        output.clear();
        input_calls = output_calls = 0;
    }

    std::vector<In> input;
    std::vector<Out> output;
    int input_calls = 0;
    int output_calls = 0;
};

using Solver8to16 = RecordingSolver<ProblemSolver_8_to_16, char, unsigned short>;
using Solver8to32 = RecordingSolver<ProblemSolver_8_to_32, char, unsigned int>;
using Solver16to8 = RecordingSolver<ProblemSolver_16_to_8, unsigned short, char>;
using Solver16to32 = RecordingSolver<ProblemSolver_16_to_32, unsigned short, unsigned int>;
using Solver32to8 = RecordingSolver<ProblemSolver_32_to_8, unsigned int, char>;
using Solver32to16 = RecordingSolver<ProblemSolver_32_to_16, unsigned int, unsigned short>;

// A byte encoding whose substitute depends on the converter's mode: 0x1A in
// mode 0 (the test encodings' own), "?!" in any other mode.
class ModalSubstituteEncoding : public TestByteEncoding {
public:
    ModalSubstituteEncoding() : TestByteEncoding(0, Names()) {}
    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override {
        if (mode == 0)
            return TestByteEncoding::SubstituteChars(chars, mode);
        static unsigned char const kShifted[] = {'?', '!', 0};
        chars = kShifted;
        return 2;
    }

private:
    static char const ** Names() {
        static char const * names[] = {"zu-test-modal-bytes", nullptr};
        return names;
    }
};

// One unregistered encoding of each width.
inline ModalSubstituteEncoding const & Bytes() {
    static ModalSubstituteEncoding const encoding;
    return encoding;
}
inline TestUnitEncoding const & Units() {
    static char const * names[] = {"zu-test-units", nullptr};
    static TestUnitEncoding const encoding(0, names);
    return encoding;
}
inline TestWideEncoding const & Wide() {
    static char const * names[] = {"zu-test-wide", nullptr};
    static TestWideEncoding const encoding(0, names);
    return encoding;
}

// Units of any width from an ASCII string, for comparisons.
template <class Unit>
std::vector<Unit> UnitsOf(std::string const & s) {
    return std::vector<Unit>(s.begin(), s.end());
}

}  // namespace zuuc_test

#endif

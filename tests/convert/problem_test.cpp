// Conversion problems: what they carry and how insertions reach the solver.
#include "zuuc/problems.h"

#include <gtest/gtest.h>

#include "support/behaviour_fakes.h"

namespace {

using namespace zuuc_test;

TEST(ConversionProblem, CarriesItsFieldsAndTheModeWhereItHasOne) {
    char const input[] = "ab\x81z";
    unsigned short output[4] = {'a', 'b', 0, 0};
    Solver8to16 solver;
    CharToChar16IllegalByteRange problem(Bytes(), Units(), solver, input, input + 3, input + 4,
                                         output, output + 2);
    EXPECT_EQ(&problem.InputEncoding(), static_cast<CharEncoding const *>(&Bytes()));
    EXPECT_EQ(&problem.OutputEncoding(), static_cast<Char16Encoding const *>(&Units()));
    EXPECT_EQ(problem.InputStart(), input);
    EXPECT_EQ(problem.ProblemPtr(), input + 3);
    EXPECT_EQ(problem.InputEnd(), input + 4);
    EXPECT_EQ(problem.OutputStart(), output);
    EXPECT_EQ(problem.OutputEnd(), output + 2);

    unsigned int const wide[] = {0x4E00};
    char bytes[2];
    Solver32to8 to_bytes;
    Char32ToCharCharacterNotInRepertoire modal(Wide(), Bytes(), to_bytes, wide, wide + 1, wide + 1,
                                               bytes, bytes, 7u);
    EXPECT_EQ(modal.Mode(), 7u);
    EXPECT_EQ(&modal.OutputEncoding(), static_cast<CharEncoding const *>(&Bytes()));

    // Problems met at the end of input carry null input pointers.
    Solver16to32 solver16;
    unsigned int out32[1];
    Char16ToChar32IllegalByteRange at_end(Units(), Wide(), solver16, nullptr, nullptr, nullptr,
                                          out32, out32);
    EXPECT_EQ(at_end.InputStart(), nullptr);
    EXPECT_EQ(at_end.ProblemPtr(), nullptr);
    EXPECT_EQ(at_end.InputEnd(), nullptr);
}

TEST(ConversionProblem, ACopiedProblemTalksToTheOriginalsSolver) {
    unsigned short const a[] = {1, 2}, b[] = {3};
    char out[1];
    Solver16to8 first_solver, second_solver;
    Char16ToCharCharacterNotInRepertoire first(Units(), Bytes(), first_solver, a, a + 1, a + 2,
                                               out, out, 1u);
    Char16ToCharCharacterNotInRepertoire second(Units(), Bytes(), second_solver, b, b + 1, b + 1,
                                                out, out, 2u);
    second = first;
    EXPECT_EQ(second.InputStart(), a);
    EXPECT_EQ(second.Mode(), 1u);
    // The copy talks to the first problem's solver.
    char const x[] = "x";
    second.InsertOutput(x, x + 1);
    EXPECT_EQ(first_solver.output, UnitsOf<char>("x"));
    EXPECT_TRUE(second_solver.output.empty());
}

TEST(ConversionProblem, InsertionsReachTheSolverWithARealEnd) {
    Solver32to16 solver;
    unsigned int const input[] = {0x10FFFF};
    unsigned short output[2];
    Char32ToChar16CharacterNotInRepertoire problem(Wide(), Units(), solver, input, input + 1,
                                                   input + 1, output, output, 0u);

    unsigned int const more[] = {'a', 'b', 'c', 0};
    problem.InsertInput(more, more + 2);
    EXPECT_EQ(solver.input, (std::vector<unsigned int>{'a', 'b'}));
    problem.InsertInput(more, nullptr);  // zero-terminated
    EXPECT_EQ(solver.input, (std::vector<unsigned int>{'a', 'b', 'c'}));

    unsigned short const sub[] = {0xFFFD, 0x20, 0};
    problem.InsertOutput(sub, nullptr);
    EXPECT_EQ(solver.output, (std::vector<unsigned short>{0xFFFD, 0x20}));

    // A null begin inserts nothing; an empty range is passed on as empty.
    problem.InsertInput(nullptr, nullptr);
    problem.InsertOutput(nullptr, sub + 1);
    EXPECT_EQ(solver.input_calls, 2);
    EXPECT_EQ(solver.output_calls, 1);
    problem.InsertOutput(sub + 2, nullptr);
    EXPECT_EQ(solver.output_calls, 2);
    EXPECT_EQ(solver.output.size(), 2u);
}

}  // namespace

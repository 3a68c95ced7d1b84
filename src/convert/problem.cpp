// The problem solvers' destructors (the rest of the problem machinery is
// inline in zuuc/problems.h).
#include "zuuc/problems.h"

ProblemSolver_8_to_16::~ProblemSolver_8_to_16() = default;
ProblemSolver_8_to_32::~ProblemSolver_8_to_32() = default;
ProblemSolver_16_to_8::~ProblemSolver_16_to_8() = default;
ProblemSolver_16_to_16::~ProblemSolver_16_to_16() = default;
ProblemSolver_16_to_32::~ProblemSolver_16_to_32() = default;
ProblemSolver_32_to_8::~ProblemSolver_32_to_8() = default;
ProblemSolver_32_to_16::~ProblemSolver_32_to_16() = default;
ProblemSolver_32_to_32::~ProblemSolver_32_to_32() = default;

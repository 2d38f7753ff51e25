// The constants of the exact predicates: machine epsilon, the splitter and
// the error bounds of the floating-point filters.
#include "analysis/predicates/ExpansionArithmetic.h"

namespace {

// Finds epsilon by halving from 1.0 until 1.0 + epsilon rounds to 1.0 (or
// stops changing); the splitter doubles at every other halving, so it ends
// as 2^ceil(p/2) + 1 for a p-bit significand. The bounds are those of the
// published error analysis of each stage.
constexpr PredicateState computePredicateState()
{
    double half = 0.5;
    double epsilon = 1.0;
    double splitter = 1.0;
    double check = 1.0;
    double lastcheck = 0.0;
    bool everyOther = true;
    do {
        lastcheck = check;
        epsilon *= half;
        if (everyOther) splitter *= 2.0;
        everyOther = !everyOther;
        check = 1.0 + epsilon;
    } while (check != 1.0 && check != lastcheck);
    splitter += 1.0;

    PredicateState s{};
    s.epsilon = epsilon;
    s.splitter = splitter;
    s.resulterrbound = (3.0 + 8.0 * epsilon) * epsilon;
    s.ccwerrboundA = (3.0 + 16.0 * epsilon) * epsilon;
    s.ccwerrboundB = (2.0 + 12.0 * epsilon) * epsilon;
    s.ccwerrboundC = (9.0 + 64.0 * epsilon) * epsilon * epsilon;
    s.o3derrboundA = (7.0 + 56.0 * epsilon) * epsilon;
    s.o3derrboundB = (3.0 + 28.0 * epsilon) * epsilon;
    s.o3derrboundC = (26.0 + 288.0 * epsilon) * epsilon * epsilon;
    s.iccerrboundA = (10.0 + 96.0 * epsilon) * epsilon;
    s.iccerrboundB = (4.0 + 48.0 * epsilon) * epsilon;
    s.iccerrboundC = (44.0 + 576.0 * epsilon) * epsilon * epsilon;
    s.isperrboundA = (16.0 + 224.0 * epsilon) * epsilon;
    s.isperrboundB = (5.0 + 72.0 * epsilon) * epsilon;
    s.isperrboundC = (71.0 + 1408.0 * epsilon) * epsilon * epsilon;
    return s;
}

}  // namespace

namespace expansion {

// Constant-initialised, so a caller that never ran exactinit still gets the
// right splitter and bounds (zero bounds would let wrong signs through).
constinit PredicateState gPredicateState = computePredicateState();

}  // namespace expansion

void exactinit()
{
    expansion::gPredicateState = computePredicateState();
}

const PredicateState& predicateState()
{
    return expansion::gPredicateState;
}

// Built only to show that the maths symbol check sees a call into the maths
// library when there is one.
#include <cmath>

double ProbeSine(double x) { return std::sin(x); }
long long ProbeRound(double x) { return std::llround(x); }

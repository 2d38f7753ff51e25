#include "analysis/geometry/Lapack.h"

#include <stdexcept>
#include <string>

// Replaces the reference handler, which prints a line and stops the whole
// program with exit status 0, so that a caller's fault can never look like a
// successful run. The routine name is blank-padded Fortran text.
extern "C" void xerbla_(const char* srname, const int* info, std::size_t srnameLen)
{
    std::string name(srname ? srname : "", srname ? srnameLen : 0);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    throw std::logic_error("LAPACK routine " + name + ": parameter " +
                           std::to_string(info ? *info : 0) + " had an illegal value");
}

#pragma once

// Result code of the geometry functions that report instead of throwing.
enum errMsg : int {
    errNone = 0,          // no error
    errShortSegment = 1,  // a defining segment is shorter than gEpsilon
    errParallel = 2,      // the lines are parallel
};

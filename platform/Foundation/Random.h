#pragma once

// arc4random, arc4random_uniform and arc4random_buf: the C library's own, which
// draw from the kernel's generator (getrandom) and need no seeding.

#include <stdlib.h>

#if defined(__GLIBC__) && !__GLIBC_PREREQ(2, 36)
#error "arc4random needs glibc 2.36 or later"
#endif

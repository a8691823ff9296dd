#pragma once

// CGFloat is a 32-bit float, as on 32-bit Arm; the 64-bit build makes it a double.
#if defined(TESSARY8_CGFLOAT_IS_DOUBLE)
using CGFloat = double;
#else
using CGFloat = float;
#endif

#pragma once

#include "objc/runtime.h"

// Replaces the implementation of selector on cls with replacement and stores the
// implementation that was in place in *previous. A method the class only
// inherits gets a method of its own, so the superclass is left untouched. A nil
// class or a selector the class does not answer is reported on standard error
// and changes nothing.
void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* previous);

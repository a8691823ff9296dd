#pragma once

#include "objc/NSObject.h"

// The base of everything that takes part in event handling.
class UIResponder : public NSObject {
public:
    static Class runtimeClass();
};

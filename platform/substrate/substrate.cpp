#include "substrate/substrate.h"

#include <cstdio>

void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* previous)
{
    if (!cls) {
        std::fprintf(stderr, "MS:Error: nil class argument\n");
        return;
    }
    if (!selector || !replacement) {
        std::fprintf(stderr, "MS:Error: nil selector or replacement for %s\n", class_getName(cls));
        return;
    }
    Method method = class_getInstanceMethod(cls, selector);
    if (!method) {
        std::fprintf(stderr, "MS:Error: message not found [%s %s]\n", class_getName(cls), sel_getName(selector));
        return;
    }
    // The previous implementation is in place before the replacement can be called.
    IMP old = method_getImplementation(method);
    if (previous)
        *previous = old;
    // An inherited method: give the class its own entry so the superclass keeps its behaviour.
    if (class_addMethod(cls, selector, replacement, method_getTypeEncoding(method)))
        return;
    IMP replaced = method_setImplementation(class_getInstanceMethod(cls, selector), replacement);
    // Someone changed the method between the read and the swap: chain to what was really there.
    if (previous && replaced != old)
        *previous = replaced;
}

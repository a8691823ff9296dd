// A stand-in plug-in for the loader tests. Its initialiser runs inside dlopen, so
// a loaded copy shows the value it set.

extern "C" {
__attribute__((visibility("default"))) int tessary8TestPluginValue = 0;
}

namespace {

struct Initialiser {
    Initialiser() { tessary8TestPluginValue = 42; }
};
const Initialiser initialiser;

}

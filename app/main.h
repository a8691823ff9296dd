#pragma once

namespace Tessary8App {

// The application's classes, as loading the application's image defines them.
void registerClasses();

// The application's entry: runs the application loop with AppDelegate as its delegate,
// answering the loop's result.
int main(int argc, char** argv);

}

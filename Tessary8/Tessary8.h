#pragma once

// The keyboard background plug-in. It is loaded into applications by the
// plug-in loader and works only through the runtime: its initialiser replaces
// three keyboard methods and adds three to the backdrop class.

// Set once the colour background has been seen in this process; from then on
// every keyboard is drawn as not light. Never cleared.
extern "C" __attribute__((visibility("default"))) bool GlobalisSwitch;

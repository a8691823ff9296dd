#pragma once

namespace UIKit {

// Defines UIKit's runtime classes and their methods, as loading the framework
// does; a process calls it before plug-ins are loaded.
void registerClasses();

}

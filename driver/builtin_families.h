// Every family of built-ins (the primitives and the C library bridge) installed into the
// registry. This sits above the families so that the registry itself depends on none of them.
#pragma once

// Installs the rows of every family; calling it again does nothing more.
void install_builtin_families();

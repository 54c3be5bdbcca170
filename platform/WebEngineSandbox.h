#pragma once
#include <string>

// Qt WebEngine will not start its sandbox as root: it ends the whole process instead. Run as root,
// the program turns the sandbox off for itself (any other user keeps it). Call before the first
// web view is made, best before the QApplication; returns the notice to give once (console and
// diagnostic log), empty when nothing was changed.
std::string pmPrepareWebEngineSandbox();

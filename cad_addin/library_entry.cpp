// Loading and unloading of the shared library: at unload the add-in takes its toolbar, Save-As types
// and event subscriptions out of the host, if the host started it.
#include "addin_app.h"

namespace {

__attribute__((destructor)) void LibraryDetach() { tandrel::ShutdownAddin(); }

}  // namespace

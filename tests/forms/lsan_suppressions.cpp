// Allocations that Qt itself keeps until the process ends (input devices and event points of
// synthesized input) are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libQt6Core.so\nleak:libQt6Gui.so\nleak:libQt6Widgets.so\n";
}

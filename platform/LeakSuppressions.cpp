// Linked into every program of a sanitizer build: the system libraries below keep some memory
// for the life of the process on purpose (parsed configuration, bus connections); leak checking
// is told to look past them, and not to list what it looked past.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n"
         "leak:libdbus-1\n"
         "leak:libX11\n"
         "leak:libSDL2\n";
}

extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

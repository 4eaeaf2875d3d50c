// Under the leak checker: allocations that system libraries keep until the process ends are not
// leaks of the program. Linked into each executable; unused in ordinary builds.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libSDL2\n"
           "leak:libX11\n"
           "leak:libxcb\n"
           "leak:libdbus\n";
}

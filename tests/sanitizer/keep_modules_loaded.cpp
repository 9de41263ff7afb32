// Sanitizer builds only. SDL and Mesa unload the GL driver stack when the display closes,
// and LeakSanitizer cannot name a frame in an unloaded module, so leaks from there would
// escape the per-library suppressions. Keeping every module mapped until exit lets each
// report name its library.
extern "C" int dlclose(void*) { return 0; }

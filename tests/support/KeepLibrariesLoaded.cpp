// Device probing loads dozens of ALSA plugins and what they depend on (the
// a52 plugin alone brings in a video codec library and its graphics stack),
// and unloads them again when each probe closes. What their initialisers
// allocated is then reachable from no loaded code, and the leak checker of
// the sanitizer build reports it, without a library name to suppress it by.
// Libraries stay loaded in this test program instead, as they would in one
// that ran on: the checker then finds every such block still referenced.

extern "C" int dlclose(void*) {
    return 0;
}

/* A resource-only library: no code runs in it. */
int language_library_marker;

/* A resource-only library: no code runs in it. */
int resource_only_library_marker;

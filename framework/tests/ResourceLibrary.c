/* A resource-only library standing in for a language library. */
int framework_test_resource_library;

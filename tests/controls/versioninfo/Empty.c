/* The test libraries carry nothing but their resources. */
int versioninfo_test_library;

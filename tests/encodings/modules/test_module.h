// Names shared by the loader tests and their test encoding libraries.
#ifndef ZUUC_TESTS_ENCODINGS_MODULES_TEST_MODULE_H
#define ZUUC_TESTS_ENCODINGS_MODULES_TEST_MODULE_H

// The encodings the modules install tables into, found by name.
#define ZUUC_TEST_LOADABLE_NAME "zu-test-loadable"
#define ZUUC_TEST_DEFAULT_NAME "zu-test-default-search"

#endif

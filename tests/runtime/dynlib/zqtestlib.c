/* A library for the run-time loading tests: two symbols the tests find and
   names they do not. */
#if defined(_WIN32)
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

EXPORT int zq_test_one(void) { return 1; }
EXPORT int zq_test_two(void) { return 2; }

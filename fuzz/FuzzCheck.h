#pragma once
// A broken expectation in a fuzz target: says what and aborts, so the fuzzer
// keeps the input.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                        \
  do {                                                                                     \
    if (!(condition)) {                                                                    \
      std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__, what); \
      std::abort();                                                                        \
    }                                                                                      \
  } while (false)

// The main of the benchmarks that compare with pixman: says in the report's
// context when the library was not found and the benchmark runs alone.
#pragma once

#include <benchmark/benchmark.h>

namespace bench {

inline int RunComparedWithPixman(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
#ifndef ZENTROVA_HAVE_PIXMAN
  benchmark::AddCustomContext("pixman", "not found: the library runs alone");
#endif
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench

// Counts every allocation of the program it is linked into, by replacing the global operator
// new: benchmarks and tests use it to show that a per-frame path allocates nothing. Link the
// object library kp_alloc_count to get it.
#pragma once

// Allocations made through operator new since the program started.
long kpAllocationCount();

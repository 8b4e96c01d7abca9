#include <malloc.h>

#include "diagnostics/memory_budget.h"
#include "driver/big_stack.h"
#include "driver/driver.h"

int main(int argc, char** argv) {
  install_out_of_memory_handler();
  // Large blocks come from the heap and stay with the process when freed: the tables that grow
  // by doubling while a large program links reuse memory instead of faulting in fresh pages.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  return run_on_big_stack([&] { return tarn_main(argc, argv); });
}

#include "diagnostics/memory_budget.h"
#include "driver/big_stack.h"
#include "driver/driver.h"

int main(int argc, char** argv) {
  install_out_of_memory_handler();
  return run_on_big_stack([&] { return tarn_main(argc, argv); });
}

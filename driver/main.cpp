#include "driver/big_stack.h"
#include "driver/driver.h"

int main(int argc, char** argv) {
  return run_on_big_stack([&] { return tarn_main(argc, argv); });
}

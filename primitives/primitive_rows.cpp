#include "primitives/primitive_rows.h"

#include <vector>

#include "primitives/arithmetic.h"
#include "primitives/comparison.h"
#include "primitives/conversions.h"
#include "primitives/elements.h"
#include "primitives/structural.h"

// The thirty-three four-letter primitives, gathered from their families.
std::span<const BuiltinRow> primitive_rows() {
  static const std::vector<BuiltinRow> rows = [] {
    std::vector<BuiltinRow> all;
    for (auto family : {arithmetic_rows(), comparison_rows(), structural_rows(), element_rows(),
                        conversion_rows()}) {
      all.insert(all.end(), family.begin(), family.end());
    }
    return all;
  }();
  return rows;
}

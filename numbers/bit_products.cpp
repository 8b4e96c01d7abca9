// Products of bit strings: schoolbook on 64-bit words for short factors, and the limb
// transform (limb_transform.cpp) on 56-bit pieces, seven bytes each, for long ones.
#include <algorithm>
#include <cstring>

#include "numbers/bits.h"
#include "numbers/limb_kernels.h"

using namespace limb_detail;

namespace {

constexpr size_t kTransformPieces = 200;  // shorter factor, in 56-bit pieces
constexpr size_t kPieceBytes = kBinaryLimbBits / 8;

std::vector<uint64_t> to_units(std::string_view bytes, size_t unit) {
  std::vector<uint64_t> units((bytes.size() + unit - 1) / unit, 0);
  for (size_t i = 0; i < units.size(); ++i)
    std::memcpy(&units[i], bytes.data() + i * unit, std::min(unit, bytes.size() - i * unit));
  return units;
}

std::string from_units(const std::vector<uint64_t>& units, size_t unit) {
  std::string bytes(units.size() * unit, '\0');
  for (size_t i = 0; i < units.size(); ++i) std::memcpy(bytes.data() + i * unit, &units[i], unit);
  return trim_bits(std::move(bytes));
}

}  // namespace

std::string multiply_bits(std::string_view a, std::string_view b) {
  a = a.substr(0, a.find_last_not_of('\0') + 1);
  b = b.substr(0, b.find_last_not_of('\0') + 1);
  if (a.empty() || b.empty()) return "";
  if (std::min(a.size(), b.size()) / kPieceBytes >= kTransformPieces) {
    std::vector<uint64_t> x = to_units(a, kPieceBytes), y = to_units(b, kPieceBytes);
    std::vector<uint64_t> product(x.size() + y.size());
    multiply_binary_transform(product.data(), x.data(), x.size(), y.data(), y.size());
    return from_units(product, kPieceBytes);
  }
  std::vector<uint64_t> x = to_units(a, 8), y = to_units(b, 8);
  std::vector<uint64_t> product(x.size() + y.size(), 0);
  for (size_t i = 0; i < x.size(); ++i) {
    u128 carry = 0;
    for (size_t j = 0; j < y.size(); ++j) {
      carry += u128(x[i]) * y[j] + product[i + j];
      product[i + j] = uint64_t(carry);
      carry >>= 64;
    }
    product[i + y.size()] = uint64_t(carry);
  }
  return from_units(product, 8);
}

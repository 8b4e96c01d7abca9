// Conversions between decimal text and limbs, eight digits per step.
#include "numbers/decimal_chunks.h"
#include "numbers/limbs.h"

namespace {

using namespace decimal_chunks;

inline size_t decimal_width(uint64_t v) {
  size_t n = 1;
  while (v >= 10) {
    v /= 10;
    ++n;
  }
  return n;
}

}  // namespace

void trim_limbs(Limbs& a) {
  while (!a.empty() && a.back() == 0) a.pop_back();
}

Limbs text_to_limbs(std::string_view digits) {
  while (!digits.empty() && digits[0] == '0') digits.remove_prefix(1);
  Limbs a;
  a.reserve((digits.size() + kLimbDigits - 1) / kLimbDigits);
  const char* p = digits.data() + digits.size();
  for (size_t left = digits.size(); left >= kLimbDigits; left -= kLimbDigits) {
    p -= kLimbDigits;
    a.push_back(parse18(p));
  }
  if (p != digits.data()) a.push_back(parse_short(digits.data(), size_t(p - digits.data())));
  return a;
}

size_t limbs_digit_count(const Limbs& a) {
  if (a.empty()) return 0;
  return (a.size() - 1) * kLimbDigits + decimal_width(a.back());
}

void write_limbs_text(char* out, const Limbs& a) {
  if (a.empty()) return;
  uint64_t top = a.back();
  size_t width = decimal_width(top);
  for (size_t i = width; i-- > 0;) {
    out[i] = char('0' + top % 10);
    top /= 10;
  }
  out += width;
  for (size_t i = a.size() - 1; i-- > 0;) {
    write18(out, a[i]);
    out += kLimbDigits;
  }
}

void append_limbs_text(std::string& out, const Limbs& a) {
  if (a.empty()) {
    out.push_back('0');
    return;
  }
  size_t start = out.size();
  out.resize(start + limbs_digit_count(a));
  write_limbs_text(out.data() + start, a);
}

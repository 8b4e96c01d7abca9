#include "primitives/elements.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "terms/data_values.h"
#include "primitives/data_reading.h"
#include "diagnostics/diagnostics.h"
#include "eval/integer_values.h"
#include "numbers/numerals.h"
#include "numbers/reals.h"
#include "primitives/primitive_arguments.h"

namespace {

uint64_t pattern_of(const Term& real) { return real_pattern(real); }

Term real_of_pattern(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return make_real(d);
}

// The bit string of a number term in normal form (assertion 518 otherwise).
std::string normal_bits(const Term& number) {
  std::string bits = term_bits(number);
  assert_normal_bits(bits);
  return bits;
}

// Appends the bits of `from` in [begin, end) above the top bit of `to`, each step setting the
// new top bit one higher, as bit lists join.
void append_bits(std::string& to, std::string_view from, uint64_t begin, uint64_t end) {
  uint64_t p = uint64_t(top_bit(to));
  for (uint64_t i = begin; i < end; ++i, ++p) {
    set_bit(to, p, bit_at(from, i));
    set_bit(to, p + 1, true);
  }
}

// True when the text that is the last argument of the application has no owner besides the
// application, and the application none besides this built-in, so that it may change in place.
bool sole_owner_of_last(const Term& application) {
  const Node* m = application.get();
  return node_refs(m) == 1 && node_refs(pair_right(m)) == 1;
}

size_t payload_offset(const Node* text) {
  return size_t(text_payload(text).data() - leaf_chars(text));
}

// Two not-a-number reals whose mantissas carry bit strings (lowest set bit as end marker)
// join into one; anything else gives Z.
Term join_reals(uint64_t d, uint64_t v) {
  const uint64_t exponent = 0x7FFull << 52;
  const uint64_t mantissa = (uint64_t(1) << 52) - 1;
  if ((d & exponent) != exponent || (v & exponent) != exponent || (d >> 63) != (v >> 63))
    return z_leaf();
  if ((d & mantissa) == 0 || (v & mantissa) == 0) return z_leaf();
  int i = __builtin_ctzll(d & mantissa);
  int j = __builtin_ctzll(v & mantissa);
  if (i + j < 51) return z_leaf();
  d |= uint64_t(1) << (i + j - 51);
  for (int g = i, n = 0; n < 51 - j; --g, ++n) {
    uint64_t bit = (v >> (g - i + 51)) & 1;
    d = (d & ~(uint64_t(1) << g)) | (bit << g);
  }
  return real_of_pattern(d);
}

// `cork` on data: the element at index f (negative: counted from the end) replaced, built
// as pairs down the left halves as repeated halving would take it apart.
Term cork_data(Term target, int64_t f, const Term& element) {
  if (f >= 0) {
    uint64_t count = data_element_count(target);
    if (uint64_t(f) >= count) return z_leaf();
    f = int64_t(uint64_t(f) - count);
  }
  std::vector<Term> rights;
  Term base;
  while (!base) {
    if (is_pair(target)) {
      if (f == -1) {
        base = make_pair(left_of(target), element);
        break;
      }
      rights.push_back(right_of(target));
      target = left_of(target);
      ++f;
      continue;
    }
    // A leaf: split it once rather than halving it element by element.
    std::string_view text = leaf_text(target);
    std::string_view content = text.substr(1, text.size() - 2);
    std::vector<Span> spans = element_spans(content);
    uint64_t k = uint64_t(0) - uint64_t(f);
    if (k > spans.size()) return z_leaf();
    size_t replaced = spans.size() - size_t(k);
    for (size_t e = spans.size(); e-- > replaced + 1;)
      rights.push_back(element_value(content.substr(spans[e].start, spans[e].end - spans[e].start)));
    base = make_pair(make_data(content.substr(0, spans[replaced].start)), element);
  }
  for (size_t r = rights.size(); r-- > 0;) base = make_pair(std::move(base), std::move(rights[r]));
  return base;
}

const BuiltinRow kRows[] = {
    {"cats", 2, cats}, {"copy", 2, copy}, {"cork", 3, cork},
    {"look", 2, look}, {"tail", 1, tail}, {"into", 3, into},
};

}  // namespace

Term cats(Term application) {
  TwoArgs args = two_args(application);
  char tx = type_letter(args.x);
  char ty = type_letter(args.y);
  if (tx == kTypeOther || ty == kTypeOther) return z_leaf();
  bool x_number = tx == kTypeInteger || tx == kTypeFraction;
  bool y_number = ty == kTypeInteger || ty == kTypeFraction;
  if (x_number && y_number) {
    std::string joined = normal_bits(args.x);
    std::string tail_bits = normal_bits(args.y);
    append_bits(joined, tail_bits, 0, uint64_t(top_bit(tail_bits)));
    return bits_to_term(std::move(joined));
  }
  if (tx != ty) return z_leaf();
  switch (tx) {
    case kTypeData:
      return make_data(flatten(args.x).append(flatten(args.y)));
    case kTypeText:
      return make_text(std::string(text_payload(args.x.get())).append(text_payload(args.y.get())));
    case kTypeReal:
      return join_reals(pattern_of(args.x), pattern_of(args.y));
    default:
      return z_leaf();
  }
}

Term copy(Term application) {
  TwoArgs args = two_args(application);
  const Term& value = args.x;
  if (!is_integer_value(args.y)) return z_leaf();
  char letter = type_letter(value);
  std::string owned;
  std::string_view bytes;
  switch (letter) {
    case kTypeText:
      bytes = text_payload(value.get());
      break;
    case kTypeReal:
      bytes = leaf_text(value).substr(1, 8);
      break;
    case kTypeData:
      owned = flatten(value);
      bytes = owned;
      break;
    case kTypeInteger:
    case kTypeFraction:
      owned = leaf_text(bits_to_term(normal_bits(value)));
      bytes = owned;
      break;
    default:
      return z_leaf();
  }
  auto* address = reinterpret_cast<char*>(static_cast<intptr_t>(to_int64(args.y)));
  if (!bytes.empty()) std::memcpy(address, bytes.data(), bytes.size());
  return i_leaf();
}

Term cork(Term application) {
  bool in_place = sole_owner_of_last(application);
  ThreeArgs args = three_args(application);
  const Term& index = args.x;
  const Term& element = args.y;
  Term& target = args.z;
  if (!is_integer_value(index)) return z_leaf();
  int64_t f = to_int64(index);
  switch (type_letter(target)) {
    case kTypeText: {
      if (!is_data_value(element)) return z_leaf();
      unsigned char b = data_first_byte(element);
      std::string_view payload = text_payload(target.get());
      int64_t n = int64_t(payload.size());
      if (f < 0) f += n;
      if (f < 0 || f >= n) return z_leaf();
      if (in_place) {
        leaf_chars(target.get())[payload_offset(target.get()) + size_t(f)] = char(b);
        return target;
      }
      std::string bytes(payload);
      bytes[size_t(f)] = char(b);
      return make_text(bytes);
    }
    case kTypeReal: {
      if (f < -64 || f > 63) return z_leaf();
      bool one = leaf_is(element, "K");
      if (!one && !leaf_is(element, "H")) return z_leaf();
      if (f < 0) f += 64;
      core_assert(f >= 0, 6127);
      core_assert(f <= 63, 6128);
      uint64_t bits = pattern_of(target);
      uint64_t mask = uint64_t(1) << f;
      return real_of_pattern(one ? (bits | mask) : (bits & ~mask));
    }
    case kTypeInteger:
    case kTypeFraction: {
      bool one = leaf_is(element, "K");
      if (!one && !leaf_is(element, "H")) return z_leaf();
      std::string bits = term_bits(target);
      int64_t top = top_bit(bits);
      if (f < -top) return z_leaf();
      set_bit(bits, uint64_t(f < 0 ? f + top : f), one);
      bits = trim_bits(std::move(bits));
      if (bits.empty()) return z_leaf();
      return bits_to_term(std::move(bits));
    }
    case kTypeData:
      if (!is_data_value(element)) return z_leaf();
      return cork_data(target, f, element);
    default:
      return z_leaf();
  }
}

Term look(Term application) {
  TwoArgs args = two_args(application);
  const Term& container = args.y;
  if (!is_integer_value(args.x)) return z_leaf();
  int64_t k = to_int64(args.x);
  switch (type_letter(container)) {
    case kTypeText: {
      std::string_view payload = text_payload(container.get());
      int64_t n = int64_t(payload.size());
      if (k >= n) return z_leaf();
      if (k < 0) k += n;
      if (k < 0) return z_leaf();
      return int64_to_numeral(static_cast<int8_t>(payload[size_t(k)]));
    }
    case kTypeReal:
      if (k < 0) k += 64;
      if (k < 0 || k > 64) return z_leaf();
      return truth(k < 64 && ((pattern_of(container) >> k) & 1));
    case kTypeInteger:
    case kTypeFraction: {
      std::string bits = term_bits(container);
      int64_t top = top_bit(bits);
      if (k < -top) return z_leaf();
      return truth(bit_at(bits, uint64_t(k < 0 ? k + top : k)));
    }
    case kTypeData: {
      if (k < 0) return z_leaf();
      Term e = data_element(container, uint64_t(k));
      return e ? e : z_leaf();
    }
    default:
      return z_leaf();
  }
}

Term tail(Term application) {
  bool in_place = sole_owner_of_last(application);
  Term x = only_arg(application);
  if (type_letter(x) != kTypeText) return z_leaf();
  std::string_view payload = text_payload(x.get());
  if (payload.empty()) return z_leaf();
  if (!in_place) return make_text(payload.substr(0, payload.size() - 1));
  // Shorten in place: the last byte becomes the terminating NUL and the new count is written
  // right-aligned over the old digits, padded with ',' (the digit 0).
  char* text = leaf_chars(x.get());
  size_t offset = payload_offset(x.get());
  size_t width = offset - 2;
  std::string digits = encode_count(payload.size() - 1);
  core_assert(digits.size() <= width, 271);
  size_t pad = width - digits.size();
  for (size_t i = 0; i < width; ++i) text[1 + i] = i < pad ? ',' : digits[i - pad];
  text[offset + payload.size() - 1] = '\0';
  return x;
}

Term into(Term application) {
  ThreeArgs args = three_args(application);
  const Term& x = args.z;
  if (!is_integer_value(args.x) || !is_non_negative_integer(args.y)) return z_leaf();
  int64_t s = to_int64(args.x);
  uint64_t n = magnitude_low64(args.y);
  char letter = type_letter(x);
  std::string bits;
  DataElements elements;
  uint64_t length = 0;
  switch (letter) {
    case kTypeText:
      length = text_payload(x.get()).size();
      break;
    case kTypeReal:
      length = 64;
      break;
    case kTypeInteger:
    case kTypeFraction:
      bits = term_bits(x);
      length = uint64_t(top_bit(bits));
      break;
    case kTypeData:
      elements = data_elements(x);
      length = elements.count();
      break;
    default:
      return z_leaf();
  }
  if (s < 0) s += int64_t(length);
  // The slice must end before the last unit: one that reaches it is refused.
  if (s < 0 || uint64_t(s) >= length || n >= length - uint64_t(s)) return z_leaf();
  uint64_t start = uint64_t(s);
  switch (letter) {
    case kTypeText:
      return make_text(text_payload(x.get()).substr(start, n));
    case kTypeReal: {
      uint64_t mask = n == 0 ? 0 : (~uint64_t(0) >> (64 - n));
      return int64_to_numeral(int64_t((pattern_of(x) >> start) & mask));
    }
    case kTypeInteger:
    case kTypeFraction: {
      std::string slice(1, '\x01');
      append_bits(slice, bits, start, start + n);
      return bits_to_term(std::move(slice));
    }
    default:
      return make_data(element_slice_bytes(elements, start, n));
  }
}

std::span<const BuiltinRow> element_rows() { return kRows; }

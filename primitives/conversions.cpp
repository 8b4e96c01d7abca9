#include "primitives/conversions.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "terms/data_values.h"
#include "primitives/data_reading.h"
#include "eval/integer_values.h"
#include "numbers/numerals.h"
#include "numbers/reals.h"
#include "primitives/shapes.h"
#include "primitives/primitive_arguments.h"

namespace {

// The bytes a data text stands for; false when it holds a group other than "[p]", "[q]",
// "[r]".
bool data_to_bytes(std::string_view content, std::string& bytes) {
  for (Span s : element_spans(content)) {
    std::string_view e = content.substr(s.start, s.end - s.start);
    if (e.size() == 1 && e[0] != '[') {
      bytes.push_back(e[0]);
    } else if (e == "[p]") {
      bytes.push_back('\n');
    } else if (e == "[q]") {
      bytes.push_back('[');
    } else if (e == "[r]") {
      bytes.push_back(']');
    } else {
      return false;
    }
  }
  return true;
}

Term signed_byte(unsigned char b) { return int64_to_numeral(static_cast<int8_t>(b)); }

// Bit list of 2^k (2w + 1): w the payload without its k trailing NUL bytes, little-endian.
std::string text_bits(std::string_view payload) {
  size_t used = payload.size();
  while (used > 0 && payload[used - 1] == '\0') --used;
  size_t k = payload.size() - used;
  std::string bits;
  set_bit(bits, k, true);
  for (size_t byte = 0; byte < used; ++byte) {
    unsigned char b = static_cast<unsigned char>(payload[byte]);
    for (int i = 0; i < 8; ++i) {
      if ((b >> i) & 1) set_bit(bits, k + 1 + byte * 8 + size_t(i), true);
    }
  }
  return bits;
}

const BuiltinRow kRows[] = {
    {"init", 1, init}, {"rows", 1, rows}, {"lots", 1, lots}, {"lord", 1, lord},
};

}  // namespace

Term init(Term application) {
  Term x = only_arg(application);
  switch (type_letter(x)) {
    case kTypeText:
      return x;
    case kTypeReal:
      return make_text(leaf_text(x).substr(1, 8));
    case kTypeInteger: {
      char b = char(uint8_t(to_int64(x)));
      return make_text(std::string_view(&b, 1));
    }
    case kTypeData: {
      std::string bytes;
      std::string content = flatten(x);
      if (!data_to_bytes(content, bytes)) return z_leaf();
      return make_text(bytes);
    }
    case kTypeOther: {
      auto b = byte_tree_value(x.get());
      if (!b) return z_leaf();
      char c = char(*b);
      return make_text(std::string_view(&c, 1));
    }
    default:
      return z_leaf();
  }
}

Term rows(Term application) {
  Term x = only_arg(application);
  switch (type_letter(x)) {
    case kTypeText: {
      std::string content;
      for (char c : text_payload(x.get())) append_data_char(content, static_cast<unsigned char>(c));
      return make_data(content);
    }
    case kTypeReal: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%e", real_value(x));
      return make_data(buffer);
    }
    case kTypeInteger: {
      // The byte NUL is written as a line feed, as program text writes it in literals.
      uint8_t b = uint8_t(to_int64(x));
      if (b == 0) return make_data("\n");
      std::string content;
      append_data_char(content, b);
      return make_data(content);
    }
    case kTypeData:
      return join_data(x);
    case kTypeOther: {
      Node* j = nullptr;
      std::string content;
      if (!data_list(x.get(), j) || !decode_j_tree(j, content)) return z_leaf();
      return make_data(content);
    }
    default:
      return z_leaf();
  }
}

Term lots(Term application) {
  Term x = only_arg(application);
  if (is_bare_k(x.get())) return x;
  switch (type_letter(x)) {
    case kTypeReal: {
      uint64_t bits = real_pattern(x);
      Term list = k_leaf();
      for (int i = 63; i >= 0; --i)
        list = apply2(make_leaf("J"), truth((bits >> i) & 1), std::move(list));
      return list;
    }
    case kTypeInteger:
    case kTypeFraction:
      return bits_to_bit_list(term_bits(x));
    case kTypeText:
      return bits_to_bit_list(text_bits(text_payload(x.get())));
    default:
      return z_leaf();
  }
}

namespace {

// ((J b) rest) with b the leaf K or H: the head of a bit list.
bool starts_bit_list(const Node* x) {
  if (!node_is_pair(x) || !node_is_pair(pair_left(x))) return false;
  const Node* b = pair_right(pair_left(x));
  return leaf_is(pair_left(pair_left(x)), "J") && (leaf_is(b, "K") || leaf_is(b, "H"));
}

}  // namespace

Term lord(Term application) {
  Term x = only_arg(application);
  if (is_bare_k(x.get())) return x;
  switch (type_letter(x)) {
    case kTypeReal:
      return real_to_fraction(x);
    case kTypeText: {
      std::string_view payload = text_payload(x.get());
      if (payload.size() != 1) return z_leaf();
      return signed_byte(static_cast<unsigned char>(payload[0]));
    }
    case kTypeData: {
      // Only values of at most three bytes convert; a fourth byte settles it.
      std::string bytes = flatten_prefix(x.get(), 4);
      if (bytes.size() == 1) {
        unsigned char c = static_cast<unsigned char>(bytes[0]);
        return signed_byte(c == '\n' ? 0 : (c == 0 ? '\n' : c));
      }
      if (bytes == "[p]") return signed_byte('\n');
      if (bytes == "[q]") return signed_byte('[');
      if (bytes == "[r]") return signed_byte(']');
      return z_leaf();
    }
    case kTypeInteger:
    case kTypeFraction:
      return bits_to_term(term_bits(x));
    default:
      // A bit list whose tail is no number (it does not type as one) reads as the leaf K.
      if (starts_bit_list(x.get())) return k_leaf();
      return z_leaf();
  }
}

std::span<const BuiltinRow> conversion_rows() { return kRows; }

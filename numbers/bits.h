// Bit strings: the binary form of numbers.
//
// A bit string is a byte string holding an unbounded non-negative binary number, little-endian:
// bit i is bit (i mod 8) of byte (i div 8), and bits past the end read as 0. As a number it is
// tagged:
//   bit 0 = 1  an integer: bit 1 is the sign (1 zero or positive, 0 negative), bits 2.. the
//              magnitude, so n >= 0 is 4|n| + 3 and n < 0 is 4|n| + 1
//   bit 0 = 0  a binary fraction (fractions.h)
// 0x03 is "0", 0x02 is the fraction "00", and 0x01 is the value written as the bare leaf `K`
// (read as zero). Normal form has a non-zero last byte (`trim_bits`); conversions assert it.
//
// The arithmetic helpers below work on plain non-negative numbers (no tag) and return trimmed
// strings unless they say otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "numbers/limbs.h"

bool bit_at(std::string_view bits, uint64_t index);           // 0 past the end
void set_bit(std::string& bits, uint64_t index, bool value);  // a 1 grows with zero bytes
uint64_t bit_count(std::string_view bits);                     // 8 x byte length
uint64_t bit_length(std::string_view bits);                    // top_bit + 1; 0 for zero
int64_t top_bit(std::string_view bits);                        // highest set bit; -1 for zero
bool is_zero_bits(std::string_view bits);
bool is_nonzero_bits(std::string_view bits);
std::string trim_bits(std::string bits);                       // drops high zero bytes
// Asserts normal form: non-empty and a non-zero last byte (518).
void assert_normal_bits(std::string_view bits);

std::string add_bits(std::string_view a, std::string_view b);
std::string add_small(std::string_view a, uint64_t k);
std::string multiply_small(std::string_view a, uint64_t k);
std::string divide_small(std::string_view a, uint64_t k);  // quotient; k > 0
unsigned mod_ten(std::string_view a);
std::string halve_bits(std::string_view a);
std::string increment_bits(std::string a);
std::string shift_bits(std::string_view a, uint64_t n);     // a * 2^n
std::string zero_bits(uint64_t count);                      // ceil(count / 8) zero bytes

// Further plain arithmetic, used by binary fractions.
int compare_bits(std::string_view a, std::string_view b);   // -1, 0, 1
std::string subtract_bits(std::string_view a, std::string_view b);  // requires a >= b
std::string multiply_bits(std::string_view a, std::string_view b);
std::string remainder_bits(std::string_view a, std::string_view b);  // b non-zero
std::string shift_bits_down(std::string_view a, uint64_t n);         // a div 2^n

// Plain binary value <-> decimal limbs, by halves, as fast as the products of each side.
Limbs bits_to_limbs(std::string_view bits);
std::string limbs_to_bits(const Limbs& a);

// Numeral <-> tagged bit string. `numeral_to_bits` of "" is assertion 8583; `bits_to_numeral`
// trims first and asserts normal form and not 0x01 (775).
std::string numeral_to_bits(std::string_view numeral);
std::string bits_to_numeral(std::string bits);

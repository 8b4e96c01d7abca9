/* The peer of bench/big_numbers.py: each job of the big-number table done with GMP, operands
 * read as decimal text and results written back as decimal text, as tarn and Python do.
 *
 *   gmp_jobs JOB [INPUT_FILE]
 *
 * INPUT_FILE holds the decimal operands, one a line. */
#include <gmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char* read_line(FILE* f) {
  size_t cap = 1 << 16, len = 0;
  char* s = malloc(cap);
  int c;
  while ((c = fgetc(f)) != EOF && c != '\n') {
    if (len + 1 == cap) s = realloc(s, cap *= 2);
    s[len++] = (char)c;
  }
  s[len] = 0;
  return s;
}

static void read_operands(const char* path, mpz_t x, mpz_t y) {
  FILE* f = fopen(path, "r");
  if (!f) exit(2);
  char* a = read_line(f);
  char* b = read_line(f);
  mpz_set_str(x, a, 10);
  mpz_set_str(y, b, 10);
  free(a);
  free(b);
  fclose(f);
}

static size_t decimal_length(const mpz_t v) {
  char* s = mpz_get_str(NULL, 10, v);
  size_t n = strlen(s);
  free(s);
  return n;
}

/* b^e by the program's own square and multiply. */
static void power_by_squaring(mpz_t r, unsigned long b, unsigned long e) {
  if (e == 0) {
    mpz_set_ui(r, 1);
    return;
  }
  mpz_t h;
  mpz_init(h);
  power_by_squaring(h, b, e / 2);
  mpz_mul(r, h, h);
  if (e % 2) mpz_mul_ui(r, r, b);
  mpz_clear(h);
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* job = argv[1];
  mpz_t x, y, p, q;
  mpz_inits(x, y, p, q, NULL);
  size_t n = 0;
  if (!strcmp(job, "pow")) { /* 3^e with the library's power */
    mpz_ui_pow_ui(p, 3, strtoul(argv[2], NULL, 10));
    n = decimal_length(p);
  } else if (!strcmp(job, "square")) {
    power_by_squaring(p, 3, strtoul(argv[2], NULL, 10));
    n = decimal_length(p);
  } else if (!strcmp(job, "mul")) { /* product and sum */
    read_operands(argv[2], x, y);
    mpz_mul(p, x, y);
    mpz_add(q, x, y);
    n = decimal_length(p) + decimal_length(q);
  } else if (!strcmp(job, "div")) { /* floor quotient and remainder */
    read_operands(argv[2], x, y);
    mpz_fdiv_qr(p, q, x, y);
    n = decimal_length(p) + decimal_length(q);
  } else if (!strcmp(job, "fact")) { /* the same loop of products */
    unsigned long k = strtoul(argv[2], NULL, 10);
    mpz_set_ui(p, 1);
    for (unsigned long i = 2; i <= k; ++i) mpz_mul_ui(p, p, i);
    n = decimal_length(p);
  } else if (!strcmp(job, "nines")) { /* (10^e - 1) / 7 and % 7 */
    mpz_ui_pow_ui(x, 10, strtoul(argv[2], NULL, 10));
    mpz_sub_ui(x, x, 1);
    mpz_fdiv_qr_ui(p, q, x, 7);
    n = decimal_length(p) + decimal_length(q);
  } else {
    return 2;
  }
  mpz_clears(x, y, p, q, NULL);
  return (int)(n % 2);
}

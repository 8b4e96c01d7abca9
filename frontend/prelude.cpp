#include "frontend/prelude.h"

namespace {

// K and H are true and false; V a b is a pair; the bodies of \ and { mention every letter so
// that any program with a lambda keeps all combinators alive. Operators name their primitives.
const char* const kEntries[] = {
    "A\\a\\aS BKK",
    "B\\a\\b\\c\\a b(c)",
    "C\\a\\b\\c\\a c b",
    "D\\a\\b\\c\\d\\a b c(d)",
    "E\\a\\b\\c\\d\\e\\a b c(d)e",
    "F\\a\\b\\Vb a",
    "G\\a\\VZ BW(BC)DDV(V XJ)",
    "H\\a\\I",
    "I\\a\\a",
    "J\\a\\b\\c\\Va b",
    "K\\a\\b\\a",
    "L\\a\\aK K(KH)",
    "M\\a\\a a",
    "N\\a\\K",
    "O\\a\\b\\b a(b)",
    "P\\a\\a XS I",
    "Q\\a\\aZK",
    "R\\a\\aZH",
    "U\\a\\b\\Ua",
    "S\\a\\b\\c\\a c b(c)",
    "T\\a\\b\\b a",
    "V\\a\\b\\c\\c a b",
    "W\\a\\b\\a b b",
    "Z\\a\\Z",
    "X\\a\\b\\c\\d\\Vb a(d)c",
    "Y\\a\\b\\a Ya b",
    "[\\]\\a\\b\\c\\ABCDEFGHIJKLMNOPQRSTUVWXYZ",
    "[{]\\a\\b\\c\\Z",
    "[&]\\q\\r\\q r H",
    "[|]\\q\\r\\qKr",
    "[!]\\VHK",
    "[+]\\plus",
    "[-]\\dash",
    "[*]\\mult",
    "[/]\\over",
    "[%]\\cent",
    "[^]\\powa",
    "[<]\\less",
    "[>]\\gteq",
    "[=]\\same",
    "[#]\\diff",
    "[$]\\buck",
    "[~]\\wave",
    "[.]\\T",
    "[@]\\T",
    "[:]\\I",
    "[?]\\I",
    "[;]\\I",
    "[']\\I",
    "[\"]\\I",
    "[,]\\I",
};

}  // namespace

const std::string& prelude_text() {
  static const std::string text = [] {
    std::string s;
    for (const char* entry : kEntries) {
      s += ',';
      s += entry;
    }
    return s;
  }();
  return text;
}

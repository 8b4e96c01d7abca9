// The combinator prelude: the letters A..Z and the meaning of every operator character.
#pragma once

#include <string>

// The prelude text: each of its 51 entries preceded by a comma (554 bytes).
const std::string& prelude_text();

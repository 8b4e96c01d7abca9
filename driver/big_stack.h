// Runs work on a thread with a very large stack, so that walks over deeply nested program
// text and terms are limited by memory rather than by the native stack.
#pragma once

#include <functional>

int run_on_big_stack(const std::function<int()>& work);

#pragma once
// Most steps of the program carry on past a failing step without a report.
// IgnoreErrors runs one such step and swallows whatever it throws.

#include <exception>
#include <utility>

template <class F>
void IgnoreErrors(F&& step) noexcept
{
    try {
        std::forward<F>(step)();
    } catch (...) {
    }
}

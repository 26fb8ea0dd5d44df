#pragma once

#include "FormatError.h"

#include <utility>
#include <variant>

// A value, or the reason there is none. The format library's readers return
// one of these instead of telling anybody; the caller decides what a person
// hears of it.
template <class T> class CResult {
public:
    CResult(T value) : m_state(std::move(value)) {}
    CResult(FormatError error) : m_state(std::move(error)) {}

    bool Ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return Ok(); }
    T& Value() { return std::get<T>(m_state); }
    const T& Value() const { return std::get<T>(m_state); }
    const FormatError& Error() const { return std::get<FormatError>(m_state); }

private:
    std::variant<T, FormatError> m_state;
};

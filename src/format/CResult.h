#pragma once

#include "FormatError.h"

#include <optional>
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

// Done, or the reason it was not: for a step that gives nothing back.
template <> class CResult<void> {
public:
    CResult() = default;
    CResult(FormatError error) : m_error(std::move(error)) {}

    bool Ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return Ok(); }
    const FormatError& Error() const { return *m_error; }

private:
    std::optional<FormatError> m_error;
};

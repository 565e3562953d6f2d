#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace skelvin {

// A value, or the text that says why there is none.
template <typename T>
class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(QString error)
    {
        Result r;
        r.m_error = std::move(error);
        return r;
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    const T *operator->() const { return &*m_value; }
    const T &operator*() const { return *m_value; }
    const QString &error() const { return m_error; }

private:
    Result() = default;
    std::optional<T> m_value;
    QString m_error;
};

// The outcome of an action that gives nothing back: empty on success, else the reason.
using Failure = std::optional<QString>;

} // namespace skelvin

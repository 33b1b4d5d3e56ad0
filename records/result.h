// The outcome of a file-system call: its value, or the reason it failed, in
// words a person can read ("cannot open data1.bcm: Permission denied").
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vantorel {

// What a failing call returns: `return Failure{"rename failed: " + why};`
struct Failure {
    std::string reason;
};

template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure f) : reason_(std::move(f.reason)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Empty when the call succeeded.
    const std::string& Reason() const { return reason_; }

private:
    std::optional<T> value_;
    std::string reason_;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure f) : failed_(true), reason_(std::move(f.reason)) {}

    explicit operator bool() const { return !failed_; }
    const std::string& Reason() const { return reason_; }

private:
    bool failed_ = false;
    std::string reason_;
};

} // namespace vantorel

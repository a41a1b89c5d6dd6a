// The root of the program's exception hierarchy and the classes that stand for the platform's own
// exceptions. Every class reports its own class name; messages are UTF-8.
#pragma once

#include <exception>
#include <string>

namespace vt {

// Base of every exception the tool set raises on purpose.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const char* what() const noexcept override { return m_message.c_str(); }
    const std::string& message() const noexcept { return m_message; }
    void setMessage(std::string message) { m_message = std::move(message); }
    // The exception's own class name ("Exception", "EOSError", ...), never a base class's.
    virtual const char* className() const noexcept { return "Exception"; }

private:
    std::string m_message;
};

// Declares a class of the hierarchy that adds nothing but its name.
#define VT_DECLARE_EXCEPTION(Name, Base)                                                          \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
        const char* className() const noexcept override { return #Name; }                         \
    }

// An operating-system call failed; carries the system's error code (errno).
class EOSError : public Exception {
public:
    EOSError(std::string message, int code) : Exception(std::move(message)), m_code(code) {}
    int errorCode() const noexcept { return m_code; }
    const char* className() const noexcept override { return "EOSError"; }

private:
    int m_code;
};

// A file input/output operation failed; carries the error code (errno).
class EInOutError : public Exception {
public:
    EInOutError(std::string message, int code) : Exception(std::move(message)), m_code(code) {}
    int errorCode() const noexcept { return m_code; }
    const char* className() const noexcept override { return "EInOutError"; }

private:
    int m_code;
};

VT_DECLARE_EXCEPTION(EConvertError, Exception);
VT_DECLARE_EXCEPTION(ERangeError, Exception);
VT_DECLARE_EXCEPTION(EDatabaseError, Exception);
VT_DECLARE_EXCEPTION(EUpdateError, EDatabaseError);
VT_DECLARE_EXCEPTION(EOleException, Exception);
// The silent abort: ends an operation without a message; error handlers let it pass unreported.
VT_DECLARE_EXCEPTION(EAbort, Exception);

} // namespace vt

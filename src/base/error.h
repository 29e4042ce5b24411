#pragma once

#include <stdexcept>
#include <string>

namespace kavio {

// Every failure a user should see is an exception carrying its message text (UTF-8, Japanese
// where the program speaks to the user). One top-level handler shows it in the error box.
class EKavioError : public std::runtime_error {
public:
    explicit EKavioError(const std::string& message) : std::runtime_error(message) {}
};

// An operating-system failure: "システムエラー。コード：%d." + line break + the system's message.
class ESystemError : public EKavioError {
public:
    explicit ESystemError(int code, const std::string& context = {});
    int code() const { return m_code; }

private:
    int m_code;
};

// A value that should be a whole number but is not ("'%s' は整数ではありません").
class EConvertError : public EKavioError {
public:
    using EKavioError::EKavioError;
};

// A list index outside 0 .. Count - 1 ("リストのインデックスが範囲を超えています (%d)").
class EListError : public EKavioError {
public:
    explicit EListError(long index);
};

std::string SystemErrorText(int code);

}  // namespace kavio

#include "base/error.h"

#include <cstring>

namespace kavio {

std::string SystemErrorText(int code)
{
    return "システムエラー。コード：" + std::to_string(code) + ".\n" + std::strerror(code);
}

ESystemError::ESystemError(int code, const std::string& context)
    : EKavioError(context.empty() ? SystemErrorText(code) : SystemErrorText(code) + "\n" + context)
    , m_code(code)
{
}

EListError::EListError(long index)
    : EKavioError("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")")
{
}

}  // namespace kavio

#include "qt/text_codec.h"

#include "base/codepage.h"

namespace kavio::qt {

QString FromCp(const std::string& bytes)
{
    return QString::fromStdString(cp932::ToUtf8(bytes));
}

std::string ToCp(const QString& text, bool* lost)
{
    cp932::EncodeResult result = cp932::FromUtf8(text.toStdString());
    if (lost)
        *lost = !result.ok();
    return std::move(result.bytes);
}

}  // namespace kavio::qt

#include "storage/page_details.h"

#include "base/split_token.h"

namespace kavio {

TPageDetails::TPageDetails(const std::string& path)
{
    LoadFromFile(path);
    if (path.empty())
        Kind = fkHeaded;
}

void TPageDetails::Clear()
{
    TPBDetailsBase::Clear();
    RowMarks.clear();
}

void TPageDetails::LoadFromFile(const std::string& path)
{
    ReadImage(path);
    if (Kind == fkHeaded) {
        const std::string marks = GetKeyValue(Header, "RowMarks");
        if (!marks.empty()) {
            // Every piece counts, empty ones included; a ";" inside a double-byte character does not split.
            size_t start = 0;
            for (;;) {
                const size_t semi = FindSingleByte(marks, ';', start);
                if (semi == std::string::npos) {
                    RowMarks.push_back(marks.substr(start));
                    break;
                }
                RowMarks.push_back(marks.substr(start, semi - start));
                start = semi + 1;
            }
        }
    }
    TPBDetailsBase::LoadFromFile(path);
}

void TPageDetails::SaveToFile(const std::string& path)
{
    if (Kind == fkMissing)
        return;
    if (Kind == fkPlain) {
        WriteLines(path, Body);
        return;
    }
    Lines output;
    output.reserve(Header.size() + 1);
    for (size_t i = 0; i < Header.size(); ++i) {
        // A repeated marker line is dropped; only the first line may be the marker.
        if (i > 0 && Header[i] == kPageMarker)
            continue;
        output.push_back(Header[i]);
    }
    std::string marks;
    for (size_t i = 0; i < RowMarks.size(); ++i) {
        if (i > 0)
            marks += ';';
        marks += RowMarks[i];
    }
    SetKeyValue(output, "RowMarks", marks);
    WriteHeaded(path, std::move(output));
}

int TPageDetails::GetRowMark(int line) const
{
    return static_cast<int>(ParseInteger(GetKeyValue(RowMarks, std::to_string(line)), 0));
}

void TPageDetails::SetRowMark(int line, int mark)
{
    SetKeyValue(RowMarks, std::to_string(line), std::to_string(mark));
}

}  // namespace kavio

#include "export/TvxCsvTarget.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "export/EvxExportError.h"
#include "export/vxExportValues.h"

namespace morvane {

namespace {

constexpr std::size_t FlushBytes = std::size_t{1} << 16;

class TvxCsvFile
{
public:
    explicit TvxCsvFile(std::string path) : path_(std::move(path)), file_(std::fopen(path_.c_str(), "wb"))
    {
        if (!file_)
            fail(errno);
        buffer_.reserve(FlushBytes + 4096);
    }
    ~TvxCsvFile()
    {
        if (file_)
            std::fclose(file_);
    }
    TvxCsvFile(const TvxCsvFile&) = delete;
    TvxCsvFile& operator=(const TvxCsvFile&) = delete;

    std::string& buffer() { return buffer_; }
    void endLine()
    {
        buffer_ += "\r\n";
        if (buffer_.size() >= FlushBytes)
            flush();
    }
    void close()
    {
        flush();
        FILE* f = file_;
        file_ = nullptr;
        if (std::fclose(f) != 0)
            fail(errno);
    }

private:
    void flush()
    {
        if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
            fail(errno);
        buffer_.clear();
    }
    [[noreturn]] void fail(int error) const
    {
        throw EvxExportError("cannot write " + path_ + ": " + std::strerror(error));
    }

    std::string path_;
    FILE* file_;
    std::string buffer_;
};

} // namespace

void AppendCsvCell(std::string& out, std::string_view text)
{
    const auto special = [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; };
    if (std::none_of(text.begin(), text.end(), special)) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

TvxCsvTarget::TvxCsvTarget(std::string directory, bool force) : directory_(std::move(directory)), force_(force) {}

TvxCsvTarget::~TvxCsvTarget() = default;

void TvxCsvTarget::Begin(const std::vector<TvxExportTable>& tables, TvxExportResult&)
{
    tables_ = &tables;
    output_ = std::make_unique<TvxExportOutput>(directory_, TvxExportOutput::Kind::Directory, force_);
}

void TvxCsvTarget::WriteTable(std::size_t index, IvxRecordSource& records, TvxExportResult& result)
{
    const TvxExportTable& table = (*tables_)[index];
    const int codePage = table.desc.CodePage();
    const auto& fields = table.desc.Fields();
    TvxCsvFile file(output_->AddFile(table.name + ".csv"));
    std::string& line = file.buffer();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            line += ',';
        AppendCsvCell(line, ExportText(fields[i].name(), codePage));
    }
    file.endLine();

    TvxRecord record;
    std::string cell;
    std::uint64_t count = 0;
    while (records.Next(record)) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i)
                line += ',';
            if (i >= record.size())
                continue;
            // Only the texts of the table can hold what a cell quotes: every other form goes
            // straight into the line.
            const TvxFieldValue& value = record[i];
            if (value.kind() != TvxFieldValue::Kind::Bytes || IsExportBinaryType(fields[i].type())) {
                AppendExportText(line, value, fields[i].type(), codePage);
                continue;
            }
            cell.clear();
            AppendExportText(cell, value, fields[i].type(), codePage);
            AppendCsvCell(line, cell);
        }
        file.endLine();
        ++count;
    }
    file.close();
    result.tables[index].records = count;
}

void TvxCsvTarget::Finish(TvxExportResult&)
{
    output_->Commit();
}

} // namespace morvane

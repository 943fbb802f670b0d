#include "ExportFile.h"

namespace {
constexpr size_t kFlushAt = 1 << 20;
}

bool CExportFile::Open(const QString& path, FormatResult* failed)
{
    m_buffer.clear();
    m_file = std::make_unique<CFileWriter>(path);
    if (m_file->Open())
        return true;
    if (failed) {
        failed->error = m_file->Error();
        failed->status = failed->error.cause == CFileError::notRegularFile
                             ? FormatResult::fileError
                             : FormatResult::notOpened;
    }
    m_file.reset();
    return false;
}

void CExportFile::WriteLine(std::string_view text)
{
    m_buffer.append(text);
    m_buffer.append("\r\n");
    if (m_buffer.size() >= kFlushAt)
        Flush();
}

void CExportFile::WriteIndentedLine(int depth, std::string_view text)
{
    for (int i = 0; i < depth; ++i)
        m_buffer.append("   ");
    WriteLine(text);
}

void CExportFile::WriteHotlistLine(bool atMargin, std::string_view text)
{
    if (!atMargin)
        m_buffer.push_back('\t');
    WriteLine(text);
}

void CExportFile::Flush()
{
    if (m_file && !m_buffer.empty())
        m_file->Write(m_buffer); // a failure is kept and reported by Close
    m_buffer.clear();
}

bool CExportFile::Close(CFileError* error)
{
    Flush();
    const bool ok = m_file && m_file->Commit();
    if (!ok && error)
        *error = m_file ? m_file->Error() : CFileError{CFileError::genericWrite, {}, false};
    m_file.reset();
    return ok;
}

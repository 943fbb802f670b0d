#include "ExportFile.h"

namespace {
constexpr size_t kFlushAt = 1 << 20;
}

bool CExportFile::Open(const QString& path)
{
    m_file.setFileName(path);
    // Folders where no temporary file can be made still take the export directly.
    m_file.setDirectWriteFallback(true);
    m_failed = false;
    m_buffer.clear();
    return m_file.open(QIODevice::WriteOnly);
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
    if (m_buffer.empty())
        return;
    if (!m_failed) {
        const auto n = static_cast<qint64>(m_buffer.size());
        if (m_file.write(m_buffer.data(), n) != n)
            m_failed = true;
    }
    m_buffer.clear();
}

bool CExportFile::Close(CFileError* error)
{
    Flush();
    const bool ok = !m_failed && m_file.commit();
    if (!ok) {
        if (m_file.isOpen())
            m_file.cancelWriting();
        if (error) {
            error->cause = m_file.error() == QFileDevice::ResourceError ? CFileError::diskFull
                                                                        : CFileError::genericWrite;
            error->path = m_file.fileName();
            error->loading = false;
        }
    }
    return ok;
}

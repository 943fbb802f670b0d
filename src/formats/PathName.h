#pragma once

#include <QString>

#include <string>
#include <string_view>

// A file-system path held as a UTF-8 string, with the joins and splits the favorites
// walks use. The separator is '/'; '\' and ':' are ordinary file-name characters here.
class CPathName
{
public:
    CPathName() = default;
    explicit CPathName(std::string path)
        : m_strPath(std::move(path))
    {}
    explicit CPathName(const QString& path)
        : m_strPath(path.toStdString())
    {}
    virtual ~CPathName() = default;

    virtual char Separator() const { return '/'; }

    const std::string& Str() const { return m_strPath; }
    QString ToQString() const { return QString::fromStdString(m_strPath); }

    // Joins `text` on in place. A leading "./" is dropped and each leading ".." climbs
    // one directory: meant for relative paths, never for names taken from bookmarks.
    void Append(std::string_view text);
    void Append(const CPathName& other) { Append(std::string_view(other.m_strPath)); }

    // a, one separator, b (none added when either side is empty; a doubled one is
    // dropped). No relative steps are taken.
    static CPathName Join(const CPathName& a, std::string_view b);

    std::string GetDirectory() const; // up to and including the last separator
    std::string GetExtension() const; // after the last '.' of the last component
    std::string GetTitle() const;     // the last component without its extension
    // Cuts the path after the last separator that is not its final byte.
    bool RemoveLastComponent();

private:
    bool IsSep(char c) const { return c == '/' || c == Separator(); }
    size_t LastSep(size_t before) const;

    std::string m_strPath;
};

// A bookmark or folder name as a file name: each of \ / : * ? " < > | becomes '_'.
// So that nothing can land outside the folder it belongs to, an empty name becomes
// "_", and a name that is "." or starts with ".." gets '_' for its first dot. A NUL
// byte, which no file name can hold, becomes '_' as well.
std::string SanitizeFileName(std::string_view name);

#include "ImportFile.h"

#include "formats/ImportMerge.h"
#include "res/Strings.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

FormatResult Refused(unsigned messageId)
{
    FormatResult result;
    result.status = FormatResult::wrongType;
    result.messageId = messageId;
    return result;
}

FormatResult OpenImportFile(QFile& file)
{
    FormatResult result;
    if (QFileInfo(file.fileName()).isDir() || !file.open(QIODevice::ReadOnly)) {
        result.status = FormatResult::notOpened;
        return result;
    }
    if (file.size() > kMaxImportFileSize) {
        file.close();
        return Refused(IDS_IMPORT_TOO_LARGE);
    }
    return result;
}

FormatResult ReadImportFile(const QString& path, QByteArray* bytes)
{
    QFile file(path);
    FormatResult result = OpenImportFile(file);
    if (!result.Ok())
        return result;
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = FormatResult::fileError;
        result.error.cause = CFileError::genericRead;
        result.error.path = path;
        return result;
    }
    if (bytes->size() > kMaxImportFileSize) {
        bytes->clear();
        return Refused(IDS_IMPORT_TOO_LARGE);
    }
    return result;
}

FormatResult ReadAndMerge(CKivDoc& doc, const QString& path, ImportReader read)
{
    CImportTree tree;
    const FormatResult result = read(path, tree);
    if (result.Ok())
        MergeImport(doc, tree);
    return result;
}

#include "KivPrintLayout.h"

#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {
void AddBlock(QTextCursor& cursor, bool& first, const QString& text, int indent,
              const QTextCharFormat& chars, int headingLevel = 0, qreal topMargin = 0)
{
    QTextBlockFormat block;
    block.setIndent(indent);
    block.setTopMargin(topMargin);
    if (headingLevel > 0)
        block.setHeadingLevel(std::min(headingLevel, 6));
    if (first) {
        cursor.setBlockFormat(block);
        cursor.setBlockCharFormat(chars);
        first = false;
    } else {
        cursor.insertBlock(block, chars);
    }
    cursor.insertText(text, chars);
}
}  // namespace

std::unique_ptr<QTextDocument> LayOutCollection(const QList<CPrintEntry>& entries)
{
    auto doc = std::make_unique<QTextDocument>();
    QFont base(QStringLiteral("Sans Serif"), 10);
    doc->setDefaultFont(base);
    doc->setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Kiv"));
    QTextCursor cursor(doc.get());
    bool first = true;

    QTextCharFormat title;
    title.setFontPointSize(20);
    title.setFontWeight(QFont::Bold);
    AddBlock(cursor, first, QStringLiteral("Kiv"), 0, title, 1);

    if (entries.isEmpty()) {
        QTextCharFormat note;
        note.setFontItalic(true);
        AddBlock(cursor, first, QStringLiteral("The collection is empty."), 0, note, 0, 6);
    }
    for (const CPrintEntry& e : entries) {
        if (e.m_bFolder) {
            QTextCharFormat heading;
            heading.setFontWeight(QFont::Bold);
            heading.setFontPointSize(std::max(11, 16 - 2 * e.m_nDepth));
            AddBlock(cursor, first, e.m_strName, e.m_nDepth, heading, e.m_nDepth + 2, 10);
            continue;
        }
        QTextCharFormat name;
        name.setFontWeight(QFont::Bold);
        AddBlock(cursor, first, e.m_strName, e.m_nDepth, name, 0, 6);
        QTextCharFormat url;
        url.setForeground(QColor(0x1a, 0x4d, 0x8f));
        AddBlock(cursor, first, e.m_strUrl, e.m_nDepth, url);
        if (!e.m_strComment.isEmpty()) {
            QTextCharFormat comment;
            comment.setFontItalic(true);
            AddBlock(cursor, first, e.m_strComment, e.m_nDepth, comment);
        }
    }
    return doc;
}

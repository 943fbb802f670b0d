#pragma once

#include "formats/FormatsTestSupport.h"
#include "model/KivDoc.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

namespace BrowsersTest {

// A document holding one bookmark, not modified: what a refused import must leave.
inline void SeedDoc(CKivDoc& doc)
{
    doc.OnNewDocument();
    doc.AddBookmark("http://kept.example/", "Kept", "", nullptr, false);
    doc.SetModifiedFlag(false);
}

inline const char* kSeededText = "Kept<http://kept.example/>";

} // namespace BrowsersTest

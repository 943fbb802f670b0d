#pragma once

#include <QString>

#include <memory>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

class CKivDoc;
class CKivView;
class CLeftView;
class QSplitter;

namespace KivTest {

// Creates, once per test binary, the QApplication (offscreen) and the application
// object, with the settings in a temporary configuration folder.
void EnsureApp();

// Writes sample.kiv into dir and returns its path:
//   Escritorio: r-alpha, r-beta
//     a: a-one
//     b: b-one, b-two
//       b1: shared
//     c: c1 .. c5
QString WriteSample(const QString& dir);

// The two panes in a splitter, as the frame makes them, shown on the offscreen screen.
struct Panes
{
    explicit Panes(CKivDoc& doc);
    ~Panes();
    QSplitter* splitter;
    CLeftView* tree;
    CKivView* list;
};

}  // namespace KivTest

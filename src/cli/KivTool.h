#pragma once

#include <QStringList>

#include <string>

class QTextStream;

// kivtool: the document operations without a window. Returns the exit status:
// 0 success, 1 the operation was refused, 2 usage error or unreadable/unwritable file.
int RunKivTool(const QStringList& args, std::string& out, std::string& err);

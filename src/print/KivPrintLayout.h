#pragma once

#include "KivPrintCollection.h"

#include <QList>
#include <memory>

class QTextDocument;

// Lays the collection out for paper: folders as headings in tree order, each
// bookmark with its name, URL and comment below.
std::unique_ptr<QTextDocument> LayOutCollection(const QList<CPrintEntry>& entries);

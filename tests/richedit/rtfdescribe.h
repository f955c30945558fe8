#pragma once
// What a document read from RTF holds, written out for comparing documents and for
// comparing with what other programs show.

#include <QString>
#include <QStringList>

class QTextDocument;
class QTextTable;

namespace rtftest {

// The text of a table cell, its paragraphs joined by line feeds.
QString CellText(const QTextTable& Table, int Row, int Column);
// Everything the document keeps, one line a paragraph, table or cell, for comparing two
// documents: text, character and paragraph formats, list levels and item labels, cells
// and their edges, fields, pictures and kept groups.
QString Describe(const QTextDocument& Document);
// The document as a text export shows it: a line a paragraph (table cells in order), each
// list item led by its label.
QStringList LabelledLines(const QTextDocument& Document);

}  // namespace rtftest

#pragma once
// Writes a QTextDocument, or a selection of it, as small and deterministic RTF: one font
// and colour table of what the text uses, each paragraph's measures in twips, character
// formats where they change, pictures as PNG or JPEG, and kept groups as they were read.

#include <QByteArray>

class QTextCursor;
class QTextDocument;

namespace rtf {

QByteArray WriteRtf(const QTextDocument& Document);
// The cursor's selection; the whole document when it has none.
QByteArray WriteRtf(const QTextCursor& Selection);

}  // namespace rtf

#pragma once
// Reads RTF into a QTextDocument: the fonts, sizes, styles, colours, paragraph measures,
// tabs, bullets and PNG or JPEG pictures of the subset the rich edit writes, and of what
// word processors commonly write. Unknown control words and destinations are skipped, as
// the RTF standard asks; an OLE object (or a picture kind we cannot show) is kept byte for
// byte and shows its result. Damaged input gives the document read so far, never a crash.

#include <QByteArray>
#include <QString>

class QTextCursor;

namespace rtf {

struct ReadOptions {
    // Reads no further than this many bytes (0: all), closing what is open there: the
    // beginning of a long document.
    qsizetype ByteLimit = 0;
    // Whole-document reads drop the paragraph mark after the last paragraph, as the
    // document already ends in one.
    bool WholeDocument = true;
};

struct ReadResult {
    // What was wrong with the input; empty for sound RTF. The document holds what could
    // be read either way.
    QString Damage;
};

// The text begins as RTF does ("{\rtf").
bool LooksLikeRtf(const QByteArray& Data);

// Reads Data at the cursor, replacing its selection. Data must look like RTF.
ReadResult ReadRtf(const QByteArray& Data, QTextCursor& Cursor, const ReadOptions& Options = {});

}  // namespace rtf

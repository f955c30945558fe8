#pragma once
// Streams as Qt byte arrays.

#include <QByteArray>

class TStream;

// From the stream's position to its end.
QByteArray ReadRemaining(TStream& Stream);
void WriteAll(TStream& Stream, const QByteArray& Bytes);

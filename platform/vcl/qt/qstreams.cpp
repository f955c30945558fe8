#include "platform/vcl/qt/qstreams.h"

#include "platform/rtl/streams.h"

QByteArray ReadRemaining(TStream& Stream)
{
    const Int64 count = Stream.Size() - Stream.Position();
    QByteArray bytes;
    if (count <= 0)
        return bytes;
    bytes.resize(static_cast<qsizetype>(count));
    Stream.ReadBuffer(bytes.data(), count);
    return bytes;
}

void WriteAll(TStream& Stream, const QByteArray& Bytes)
{
    if (!Bytes.isEmpty())
        Stream.WriteBuffer(Bytes.constData(), Bytes.size());
}

// The record fetches of a table walk, sent ahead: while a walk goes on in one
// direction the next fetches are written before their replies come back, so
// the walk waits for the network once per window instead of once per record.
// Each fetch is still one request with one reply, read in the order sent.

#include <algorithm>

#include "remote/drconn.h"
#include "remote/wire.h"

using C = TDaroruServerConnection;

namespace {
constexpr int MaxWindow = 64;
// The replies of one window stay within this many bytes.
constexpr Int64 WindowBytes = 256 << 10;
constexpr Int64 ReplyOverhead = 20 + 9;  // header, result and record number

int WindowLimit(int RecordSize)
{
    return static_cast<int>(
            std::clamp<Int64>(WindowBytes / (ReplyOverhead + std::max(RecordSize, 0)), 1, MaxWindow));
}
}  // namespace

bool C::FetchRecord(const String& Args, int RecordSize, bool Walks, String& Payload)
{
    Payload.clear();
    SetTriggers(false);
    const bool sameWalk = Walks && Args == FAhead.Args && FCurrentWorkArea == FAhead.Area &&
                          RecordSize == FAhead.RecordSize;
    const bool sentAhead = sameWalk && FAhead.Pending > 0;
    // Where the walk stands when this fetch continues it.
    const String from =
            sentAhead || (sameWalk && FAhead.Serial == FRequestSerial) ? FAhead.Position : String();
    if (sentAhead) {
        FAhead.Window = std::min(FAhead.Window * 2, WindowLimit(RecordSize));
    } else {
        // The same fetch as the one just made, which found no end: a walk.
        const bool walkGoesOn = sameWalk && FAhead.Serial == FRequestSerial && !FAhead.AtEnd;
        SettleReadAhead();
        FAhead = TReadAhead {Args, FCurrentWorkArea, RecordSize, {}, -1, 0, walkGoesOn ? 1 : 0, false};
    }
    if (!Connected())
        return false;
    // This fetch unless it was sent ahead, and once a quarter of the window
    // has been read, the fetches that fill it again, in one write: the server
    // answers them while the replies still in hand are read.
    const int ahead = FAhead.Pending - (sentAhead ? 1 : 0);
    int count = sentAhead ? 0 : 1;
    if (!FAhead.AtEnd && ahead <= FAhead.Window * 3 / 4)
        count += FAhead.Window - ahead;
    if (count > 0) {
        const String frame = Header("0591", static_cast<Int64>(Args.size())) + Args;
        String frames;
        frames.reserve(frame.size() * static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            frames += frame;
        try {
            FTransport->Write(frames);
        } catch (const std::exception&) {
            ConnectionLost("DaroruConnection.ClientStreamReceive");
            return false;
        }
        if (!sentAhead)
            ++FRequestSerial;
        FAhead.Pending += count;
    }
    --FAhead.Pending;
    const int length = AwaitReply("0591");
    if (length > 0)
        Payload = ReadPayload();
    // A walk never fetches the record it stands on: that record again is a
    // reply sent twice, and the replies no longer pair with the requests.
    if (!Payload.empty() && Payload[0] == '0' && !from.empty() && Payload.compare(0, 9, from) == 0) {
        ConnectionLost("DaroruConnection.FillReadStream");
        return false;
    }
    FAhead.Position = Payload.substr(0, 9);
    FAhead.Serial = FRequestSerial;
    // Past an end the server's answer no longer changes: nothing more is sent ahead.
    FAhead.AtEnd = FAhead.AtEnd || Payload.empty() || Payload[0] != '0';
    SetTriggers(Connected());
    return length > 0;
}

void C::SettleReadAhead()
{
    if (FAhead.Pending == 0)
        return;
    // The fetches sent ahead moved the server's cursor unless each found the
    // same end the walk already stands at.
    bool moved = false;
    while (FAhead.Pending > 0 && Connected()) {
        --FAhead.Pending;
        moved = AwaitReply("0591") <= 0 || ReadPayload().compare(0, 9, FAhead.Position) != 0 || moved;
    }
    FAhead.Pending = 0;
    if (!moved || !Connected() || FAhead.Position.size() != 9)
        return;
    Int64 recNo = 0;
    try {
        recNo = Wire::ParseHex(FAhead.Position.substr(1));
    } catch (const std::exception&) {
        return;  // the walk stands on no record the server named
    }
    try {
        WriteFrame("0493", Wire::Hex(recNo, 8));
    } catch (const std::exception&) {
        ConnectionLost("DaroruConnection.ClientXmit");
        return;
    }
    AwaitReply("0493");
}

#include "remote/drsqlobj.h"

TSQLObj::TSQLObj(TDaroruServerConnection* Owner) : FConnection(Owner) { FEnvironment.SetApplyTo({atLocal}); }

TSQLObj::~TSQLObj() { FreeTables(); }

void TSQLObj::FreeTables()
{
    FStatement.reset();
    Prepared = false;
}

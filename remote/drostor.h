#pragma once
// A stored procedure of the database server, run through a connection with
// its parameters; the returned values come back into ProcParams.

#include "platform/classes/component.h"
#include "remote/drconn.h"
#include "remote/params.h"

class EDaroruStoredProc : public Exception {
public:
    using Exception::Exception;
};

class TDaroruStoredProc : public TComponent {
public:
    explicit TDaroruStoredProc(TComponent* AOwner) : TComponent(AOwner) { }
    ~TDaroruStoredProc() override;
    String ClassName() const override { return "TDaroruStoredProc"; }

    bool Active() const { return FActive; }
    // True runs the procedure (once, until Active is set False again).
    void SetActive(bool Value);
    TDaroruServerConnection* DaroruConnection() const { return FConnection; }
    void SetDaroruConnection(TDaroruServerConnection* Value);
    const String& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const String& Value) { FDatabaseName = Value; }
    const String& ProcName() const { return FProcName; }
    // A new name resets Active and loads the server's parameter list when connected.
    void SetProcName(const String& Name);
    TParams& ProcParams() { return FProcParams; }
    // Sends Params to the server for the procedure; ProcParams stays as it is.
    void SetProcParams(const TParams& Params);
    // Runs the procedure as SetActive(True) does: once, until Active is set False.
    void ExecProc();

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FActive = false;
    TDaroruServerConnection* FConnection = nullptr;
    String FDatabaseName;
    String FProcName;
    TParams FProcParams;
};

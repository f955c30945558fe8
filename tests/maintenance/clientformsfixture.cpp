#include "tests/maintenance/clientformsfixture.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

TOtherWorkstation::TOtherWorkstation(const String& Table, bool Exclusive) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe");
    FPid = fork();
    if (FPid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[1]);
        close(out[0]);
        String table = Table;
        String mode = Exclusive ? "2" : "0";
        char open[] = "open";
        char* argv[] = {const_cast<char*>(XBE_PEER_PATH), open, table.data(), mode.data(), nullptr};
        execv(XBE_PEER_PATH, argv);
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    FInput = in[1];
    FILE* output = fdopen(out[0], "r");
    char line[256] = "";
    const bool answered = fgets(line, sizeof line, output) != nullptr;
    fclose(output);
    if (!answered || String(line).rfind("ready", 0) != 0) {
        close(FInput);
        waitpid(FPid, nullptr, 0);
        throw std::runtime_error("the other workstation could not open " + Table + ": " + line);
    }
}

TOtherWorkstation::~TOtherWorkstation() {
    close(FInput);
    waitpid(FPid, nullptr, 0);
}

void ClientFormsFixture::SetUp() {
    ShellFixture::SetUp();
    Application->Initialize();
    ForgetHeldInput();
    MenuForms.ClientBasic = ShowClientBasic;
    MenuForms.ClientSelection = ShowClientSelection;
}

std::vector<String> ClientFormsFixture::PickList() {
    std::vector<String> rows;
    TDaroruTable* list = DClientDataBase->tblClientList;
    const bool wasOpen = list->Active();
    if (!wasOpen) DClientDataBase->OpenClientList();
    list->SetOrder(list->TagArea("ID"));
    for (list->First(); !list->Eof(); list->Next())
        rows.push_back(Trim(list->FieldByName("ID")->AsString()) + "|" + Trim(list->FieldByName("NAME")->AsString()) +
                       "|" + Trim(list->FieldByName("PATH")->AsString()));
    if (!wasOpen) DClientDataBase->CloseClientList();
    return rows;
}

void ClientFormsFixture::AddPickListRows(const std::vector<std::pair<String, String>>& Rows) {
    DClientDataBase->OpenClientList();
    TDaroruTable* list = DClientDataBase->tblClientList;
    for (const auto& [id, name] : Rows) {
        list->Append();
        list->FieldByName("ID")->SetAsString(id);
        list->FieldByName("NAME")->SetAsString(name);
        list->FieldByName("PATH")->SetAsString(FMain->DataDir + id);
        list->Post();
    }
    DClientDataBase->CloseClientList();
}

void ClientFormsFixture::MakeListedClient(const String& ID, const String& Name) {
    MakeClient(ID, Name);
    AddPickListRows({{ID, Name}});
}

String ClientFormsFixture::Payer(const char* Field) {
    return Trim(DClientDataBase->tblClient->FieldByName(Field)->AsString());
}

void ClientFormsFixture::Screenshot(TCustomForm* Form, const char* Name) {
    QCoreApplication::processEvents();
    const QImage image = Form->Widget()->window()->grab().toImage();
    ASSERT_FALSE(image.isNull());
    ASSERT_TRUE(QDir().mkpath(TOTAMUND_SCREENSHOT_DIR));
    ASSERT_TRUE(image.save(QString(TOTAMUND_SCREENSHOT_DIR "/") + Name, "PNG"));
}

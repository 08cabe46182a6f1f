#include "Startup.h"

#include "Application.h"
#include "Cp936.h"
#include "dmLibData.h"
#include "frmDbPara.h"
#include "frmKestruneMain.h"
#include "unGlobal.h"

const std::string& ApplicationTitle()
{
    static const std::string title = Cp936::Literal("查询自助终端信息");
    return title;
}

void StartUp()
{
    ConnectStatus.clear();
    Application->Initialize();
    Application->Title = ApplicationTitle();
    try {
        Application->CreateForm(LibDM);
        if (ConnectStatus == "OK")
            Application->CreateForm(KestruneMain);
        else
            Application->CreateForm(DbPara);
        return;
    } catch (...) {
        // Whatever went wrong, the dialog that explains what to check takes over; it reports a
        // damaged settings record itself when it reads the record.
    }
    Application->CreateForm(DbPara);
}

int RunProgram()
{
    try {
        StartUp();
    } catch (const std::exception& error) {
        Application->ShowUnhandledException(error);
        return 1;
    }
    return Application->Run();
}

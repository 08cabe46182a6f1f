// Started by the dialog tests as an unprivileged user: opens the dialog on the hive file named by its
// argument, saves a new data source name and exits with a code that says what the operator saw.
//   1  the "提示信息" box, and the dialog closed
//   2  the error box for the maker key, and the dialog stayed open with its boxes as they were
//   other codes: something else happened
#include "Cp936.h"
#include "HiveFileRegistry.h"
#include "TestSupport.h"
#include "frmDbPara.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 20;
    QApplication qt(argc, argv);
    SetMachineHiveFile(argv[1]);
    ScopedApplication application;
    application->Initialize();
    MessageBoxRecorder messages;
    application->CreateForm(DbPara);
    DbPara->Show();
    DbPara->btMod->click();
    DbPara->edOdbc->setText("new");
    DbPara->btOk->click();
    const bool closed = !DbPara->isVisible();
    if (messages.boxes.size() != 1)
        return 10;
    const auto& box = messages.boxes[0];
    if (closed && box.caption == Cp936::Literal("提示信息") && box.flags == MB_ICONINFORMATION &&
        box.text ==
            Cp936::Literal("保存您配置的参数失败！只有具有权限的用户，如Administrator才能修改，请与系统管理员联系！"))
        return 1;
    if (!closed && box.flags == MB_ICONERROR && box.text == "Failed to create key SOFTWARE\\Torvanel." &&
        DbPara->edOdbc->text() == "new")
        return 2;
    return 11;
}

// Started by the splash test on a real X display: runs start-up on the hive file named by its
// argument and exits with 0 when the viewer became the main window, 1 for the dialog.
#include "HiveFileRegistry.h"
#include "Startup.h"
#include "TestSupport.h"
#include "frmKestruneMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 20;
    QApplication qt(argc, argv);
    SetMachineHiveFile(argv[1]);
    ScopedApplication application;
    MessageBoxRecorder messages;
    StartUp();
    return Application->MainForm() == static_cast<TForm*>(KestruneMain) ? 0 : 1;
}

#include "Application.h"
#include "Startup.h"

#include <QApplication>

int main(int, char** argv)
{
    // The program takes no arguments, so Qt is shown none either.
    int qtArgumentCount = 1;
    QApplication qt(qtArgumentCount, argv);
    ScopedApplication application;
    return RunProgram();
}

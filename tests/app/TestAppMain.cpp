#include "TestSupport.h"

#include <QApplication>

QObject* NewTestUnGlobal();
QObject* NewTestStartup();
QObject* NewTestFlash();

KIOSK_TEST_MAIN(NewTestUnGlobal(), NewTestStartup(), NewTestFlash())

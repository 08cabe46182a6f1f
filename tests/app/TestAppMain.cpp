#include "TestSupport.h"

#include <QApplication>

QObject* NewTestUnGlobal();
QObject* NewTestStartup();

KIOSK_TEST_MAIN(NewTestUnGlobal(), NewTestStartup())

#include "TestSupport.h"

#include <QApplication>

QObject* NewTestRegEdit4();
QObject* NewTestHiveFileRegistry();

KIOSK_TEST_MAIN(NewTestRegEdit4(), NewTestHiveFileRegistry())

#include "TestSupport.h"

#include <QApplication>

QObject* NewTestRegEdit4();
QObject* NewTestHiveFileRegistry();
QObject* NewTestApplication();
QObject* NewTestDatabase();
QObject* NewTestQuery();

KIOSK_TEST_MAIN(NewTestRegEdit4(), NewTestHiveFileRegistry(), NewTestApplication(), NewTestDatabase(), NewTestQuery())

#include "TestSupport.h"

#include <QApplication>

QObject* NewTestConnectionSettings();
QObject* NewTestDbPara();

KIOSK_TEST_MAIN(NewTestConnectionSettings(), NewTestDbPara())

#include "TestSupport.h"

#include <QApplication>

QObject* NewTestConnectionSettings();

KIOSK_TEST_MAIN(NewTestConnectionSettings())

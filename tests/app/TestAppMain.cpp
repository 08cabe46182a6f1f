#include "TestSupport.h"

#include <QApplication>

QObject* NewTestUnGlobal();

KIOSK_TEST_MAIN(NewTestUnGlobal())

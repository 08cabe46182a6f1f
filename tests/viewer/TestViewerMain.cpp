#include "TestSupport.h"

#include <QApplication>

QObject* NewTestKestruneMain();

KIOSK_TEST_MAIN(NewTestKestruneMain())

#pragma once

#include "Database.h"
#include "Forms.h"

// The connection module: owns the program's one database connection, opened while the module is
// created, and the splash while the connection is being made.
class TLibDM : public TDataModule {
public:
    explicit TLibDM(TComponent* owner);

    TDatabase* LibDB = nullptr;

    void LibDBBeforeConnect(TObject* Sender);
    void LibDBAfterConnect(TObject* Sender);
};

extern TLibDM* LibDM;

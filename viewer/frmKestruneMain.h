#pragma once

#include "Forms.h"

#include <memory>

namespace Ui
{
class KestruneMain;
}

// The kiosk account viewer: the main window whenever the database connection has been made.
class TKestruneMain : public TForm
{
    Q_OBJECT

public:
    explicit TKestruneMain(TComponent* owner);
    ~TKestruneMain() override;

private:
    std::unique_ptr<Ui::KestruneMain> ui_;
};

extern TKestruneMain* KestruneMain;

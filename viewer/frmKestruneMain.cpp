#include "frmKestruneMain.h"

#include "ui_frmKestruneMain.h"

TKestruneMain* KestruneMain = nullptr;

TKestruneMain::TKestruneMain(TComponent* owner) : TForm(owner), ui_(std::make_unique<Ui::KestruneMain>())
{
    ui_->setupUi(this);
    ApplyFormProperties();
}

TKestruneMain::~TKestruneMain() = default;

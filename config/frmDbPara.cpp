#include "frmDbPara.h"

#include "ui_frmDbPara.h"

TDbPara* DbPara = nullptr;

TDbPara::TDbPara(TComponent* owner) : TForm(owner), ui_(std::make_unique<Ui::DbPara>())
{
    ui_->setupUi(this);
    ApplyFormProperties();
}

TDbPara::~TDbPara() = default;

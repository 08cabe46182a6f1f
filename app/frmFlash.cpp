#include "frmFlash.h"

#include "Cp936.h"
#include "ui_frmFlash.h"
#include "unGlobal.h"

TFlash* Flash = nullptr;

TFlash::TFlash(TComponent* owner) : TForm(owner), ui_(std::make_unique<Ui::Flash>())
{
    ui_->setupUi(this);
    Image1 = ui_->Image1;
    lbView = ui_->lbView;
    Label1 = ui_->Label1;
    Image2 = ui_->Image2;
    ApplyFormProperties();
    DoCreate([this] { FormCreate(this); });
}

TFlash::~TFlash() = default;

void TFlash::FormCreate(TObject*)
{
    SetLabelCaption(lbView, Cp936::ToUnicode(ConnectStatus));
}

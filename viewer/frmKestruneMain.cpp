#include "frmKestruneMain.h"

#include "Cp936.h"
#include "ui_frmKestruneMain.h"

TKestruneMain* KestruneMain = nullptr;

namespace {

// The access code, compared byte for byte with what was typed.
const std::string kAccessCode = "qz";

const std::string kMarkerQuery = "select vm_mess from ver_manage where vm_mess='ZZ80240619.BEFORE_EN_PASS'";
const std::string kKioskListQuery = "select zz_user,us_pass,zz_ip from lib_zizhu,lib_user where zz_user=us_code";

} // namespace

TKestruneMain::TKestruneMain(TComponent* owner) : TForm(owner), ui_(std::make_unique<Ui::KestruneMain>())
{
    ui_->setupUi(this);
    ApplyFormProperties();
    ReadComponents(":/layouts/frmKestruneMain.json", [this] {
        qrTmp = FindComponentOf<TQuery>("qrTmp");
        DataSource1 = FindComponentOf<TDataSource>("DataSource1");
        qrTmpzz_user = FindComponentOf<TStringField>("qrTmpzz_user");
        qrTmpus_pass = FindComponentOf<TStringField>("qrTmpus_pass");
        qrTmpzz_ip = FindComponentOf<TStringField>("qrTmpzz_ip");
        qrTmp1 = FindComponentOf<TQuery>("qrTmp1");
    });
    DBGrid1 = ui_->DBGrid1;
    Label1 = ui_->Label1;
    edPass = ui_->edPass;
    Button1 = ui_->Button1;
    lbError = ui_->lbError;
    Button2 = ui_->Button2;
    lbPass = ui_->lbPass;
    BindClick(Button1, &TKestruneMain::Button1Click);
    BindClick(Button2, &TKestruneMain::Button2Click);
    DoCreate([this] { FormCreate(this); });
}

TKestruneMain::~TKestruneMain() = default;

void TKestruneMain::FormCreate(TObject*)
{
    qrTmp1->SQL.Clear();
    qrTmp1->SQL.Add(kMarkerQuery);
    qrTmp1->Open();
    if (qrTmp1->Eof()) {
        SetLabelCaption(lbPass, Cp936::ToUnicode(Cp936::Literal("密码是真实的明码。")));
    }
    qrTmp1->Close();
    qrTmp->SQL.Clear();
    qrTmp->SQL.Add(kKioskListQuery);
    qrTmp->Open();
}

void TKestruneMain::Button1Click(TObject*)
{
    if (Cp936::FromUnicode(edPass->text()) == kAccessCode) {
        DBGrid1->setVisible(true);
        return;
    }
    lbError->setVisible(true);
    Button1->setVisible(false);
    Button2->setVisible(true);
}

void TKestruneMain::Button2Click(TObject*)
{
    Close();
}

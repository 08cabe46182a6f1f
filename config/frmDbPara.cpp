#include "frmDbPara.h"

#include "Application.h"
#include "ConnectionSettings.h"
#include "Cp936.h"
#include "Exceptions.h"
#include "ui_frmDbPara.h"

#include <algorithm>

TDbPara* DbPara = nullptr;

namespace {

constexpr int kExpandedOuterHeight = 261;
constexpr char kEnter = 13;

// Puts each text of the record into its box the moment it arrives.
class EditBoxFiller : public ConnectionSettingsReceiver {
public:
    explicit EditBoxFiller(TDbPara& dialog) : dialog_(dialog) {}

    void OdbcName(const std::string& text) override { dialog_.edOdbc->setText(Cp936::ToUnicode(text)); }
    void LoginId(const std::string& text) override { dialog_.edUser->setText(Cp936::ToUnicode(text)); }
    void Password(const std::string& text) override { dialog_.edPass->setText(Cp936::ToUnicode(text)); }

private:
    TDbPara& dialog_;
};

// The text of a box in code page 936. A character that the record cannot hold is never stored
// altered: the save stops with a message that names the box.
std::string BoxText(const QLineEdit* box, const QLabel* caption)
{
    auto text = Cp936::FromUnicode(box->text());
    if (!text)
        throw Exception(Cp936::FromUnicode(caption->text()).value_or("") +
                        Cp936::Literal("中有系统无法保存的字符，请修改后再保存"));
    return *text;
}

} // namespace

TDbPara::TDbPara(TComponent* owner) : TForm(owner), ui_(std::make_unique<Ui::DbPara>())
{
    ui_->setupUi(this);
    btExit = ui_->btExit;
    Label4 = ui_->Label4;
    Label5 = ui_->Label5;
    Label6 = ui_->Label6;
    Label7 = ui_->Label7;
    Label8 = ui_->Label8;
    btMod = ui_->btMod;
    grbBox = ui_->grbBox;
    Label1 = ui_->Label1;
    Label2 = ui_->Label2;
    Label3 = ui_->Label3;
    edOdbc = ui_->edOdbc;
    edUser = ui_->edUser;
    edPass = ui_->edPass;
    btOk = ui_->btOk;
    Label9 = ui_->Label9;
    Label10 = ui_->Label10;
    ApplyFormProperties();
    OnKeyPress = [this](TObject* sender, char& key) { FormKeyPress(sender, key); };
    BindClick(btOk, &TDbPara::btOkClick);
    BindClick(btExit, &TDbPara::btExitClick);
    BindClick(btMod, &TDbPara::btModClick);
    DoCreate([this] { FormCreate(this); });
}

TDbPara::~TDbPara() = default;

void TDbPara::FormKeyPress(TObject*, char& Key)
{
    if (Key == kEnter)
        Perform(WM_NEXTDLGCTL, 0, 0);
}

void TDbPara::FormCreate(TObject*)
{
    setWindowTitle(Cp936::ToUnicode(Cp936::Literal("设置数据库【") + DbKeyName + Cp936::Literal("】连接参数")));
    EditBoxFiller filler(*this);
    if (!ReadConnectionSettings(filler)) {
        edOdbc->clear();
        edUser->clear();
        edPass->clear();
    }
}

void TDbPara::btOkClick(TObject*)
{
    const auto odbcName = BoxText(edOdbc, Label1);
    const auto loginId = BoxText(edUser, Label2);
    const auto password = BoxText(edPass, Label3);
    if (!WriteConnectionSettings(odbcName, loginId, password))
        Application->MessageBox(Cp936::Literal("保存您配置的参数失败！只有具有权限的用户，如Administrator才能修改，"
                                               "请与系统管理员联系！"),
                                Cp936::Literal("提示信息"), MB_ICONINFORMATION | MB_OK);
    Close();
}

void TDbPara::btExitClick(TObject*)
{
    Close();
}

void TDbPara::btModClick(TObject*)
{
    grbBox->setVisible(true);
    // The outer height takes the frame into account; where no frame is drawn the client area grows
    // by all of it, and either way the whole group box stays in view.
    const int frameHeight = frameGeometry().height() - height();
    const int clientHeight = std::max(kExpandedOuterHeight - frameHeight, grbBox->geometry().bottom() + 1);
    setFixedSize(width(), clientHeight);
}

#pragma once

#include "DBGrid.h"
#include "DataSet.h"
#include "Forms.h"

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
namespace Ui {
class KestruneMain;
}

// The kiosk account viewer: the main window whenever the database connection has been made. The list
// of terminals stays hidden until the access code has been typed; a wrong code leaves only 退出.
class TKestruneMain : public TForm {
    Q_OBJECT

public:
    explicit TKestruneMain(TComponent* owner);
    ~TKestruneMain() override;

    TQuery* qrTmp = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TDataSource* DataSource1 = nullptr;
    TStringField* qrTmpzz_user = nullptr;
    TStringField* qrTmpus_pass = nullptr;
    TStringField* qrTmpzz_ip = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edPass = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* lbError = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* lbPass = nullptr;
    TQuery* qrTmp1 = nullptr;

    void FormCreate(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);

private:
    std::unique_ptr<Ui::KestruneMain> ui_;
};

extern TKestruneMain* KestruneMain;

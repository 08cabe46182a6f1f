#pragma once

#include "Forms.h"

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace Ui {
class DbPara;
}

// The connection parameters dialog: the main window when the database could not be reached. It says
// what to check and, on request, shows the connection settings record and stores new parameters,
// which take effect at the next start.
class TDbPara : public TForm {
    Q_OBJECT

public:
    explicit TDbPara(TComponent* owner);
    ~TDbPara() override;

    QPushButton* btExit = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* btMod = nullptr;
    QGroupBox* grbBox = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edOdbc = nullptr;
    QLineEdit* edUser = nullptr;
    QLineEdit* edPass = nullptr;
    QPushButton* btOk = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;

    void FormKeyPress(TObject* Sender, char& Key);
    void FormCreate(TObject* Sender);
    void btOkClick(TObject* Sender);
    void btExitClick(TObject* Sender);
    void btModClick(TObject* Sender);

private:
    std::unique_ptr<Ui::DbPara> ui_;
};

extern TDbPara* DbPara;

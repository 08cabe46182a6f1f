#pragma once

#include "Forms.h"

#include <memory>

class QLabel;
namespace Ui {
class Flash;
}

// The start-up splash: a borderless picture with the connection's status, shown while the
// connection is being made.
class TFlash : public TForm {
    Q_OBJECT

public:
    explicit TFlash(TComponent* owner);
    ~TFlash() override;

    QLabel* Image1;
    QLabel* lbView;
    QLabel* Label1;
    QLabel* Image2;

    void FormCreate(TObject* Sender);

private:
    std::unique_ptr<Ui::Flash> ui_;
};

extern TFlash* Flash;

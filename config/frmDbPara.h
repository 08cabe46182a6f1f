#pragma once

#include "Forms.h"

#include <memory>

namespace Ui {
class DbPara;
}

// The connection parameters dialog: the main window when the database could not be reached.
class TDbPara : public TForm {
    Q_OBJECT

public:
    explicit TDbPara(TComponent* owner);
    ~TDbPara() override;

private:
    std::unique_ptr<Ui::DbPara> ui_;
};

extern TDbPara* DbPara;
